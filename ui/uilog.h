#pragma once

#include <QLoggingCategory>

// Log lines of the interface's control flow, as "tavrik.ui": QT_LOGGING_RULES="tavrik.ui.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
