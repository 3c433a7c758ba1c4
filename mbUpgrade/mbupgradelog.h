#pragma once

#include <QLoggingCategory>

// Log lines of the mainboard firmware upgrade, category "tavrik.mbupgrade"; a rule such as
// QT_LOGGING_RULES="tavrik.mbupgrade.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcMbUpgrade)
