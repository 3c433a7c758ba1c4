#pragma once

#include <QLoggingCategory>

// Log lines of power, LEDs and system tools, category "tavrik.maint"; a rule such as
// QT_LOGGING_RULES="tavrik.maint.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcMaint)
