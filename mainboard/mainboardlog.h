#pragma once

#include <QLoggingCategory>

// Log lines of the mainboard link, as "tavrik.mainboard": QT_LOGGING_RULES="tavrik.mainboard.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcMainboard)
