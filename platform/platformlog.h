#pragma once

#include <QLoggingCategory>

// Log lines of the platform layer (service notifications, commands), as "tavrik.platform": QT_LOGGING_RULES="tavrik.platform.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
