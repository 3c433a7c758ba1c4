#pragma once

#include <QLoggingCategory>

// Log lines of the mainboard firmware upgrade, as "tavrik.mbupgrade": QT_LOGGING_RULES="tavrik.mbupgrade.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcMbUpgrade)
