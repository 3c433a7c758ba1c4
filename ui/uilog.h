#pragma once

#include <QLoggingCategory>

// Log lines of the interface's control flow, category "tavrik.ui"; a rule such as
// QT_LOGGING_RULES="tavrik.ui.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
