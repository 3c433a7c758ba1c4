#pragma once

#include <QLoggingCategory>

// Log lines of power, LEDs and system tools, as "tavrik.maint": QT_LOGGING_RULES="tavrik.maint.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcMaint)
