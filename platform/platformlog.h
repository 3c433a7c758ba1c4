#pragma once

#include <QLoggingCategory>

// Log lines of the platform layer (commands, service notifications),
// category "tavrik.platform"; a rule such as
// QT_LOGGING_RULES="tavrik.platform.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
