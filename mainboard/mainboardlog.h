#pragma once

#include <QLoggingCategory>

// Log lines of the mainboard link, category "tavrik.mainboard"; a rule such as
// QT_LOGGING_RULES="tavrik.mainboard.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcMainboard)
