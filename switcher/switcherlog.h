#pragma once

#include <QLoggingCategory>

// Log lines of the switcher control model, as "tavrik.switcher": QT_LOGGING_RULES="tavrik.switcher.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcSwitcher)
