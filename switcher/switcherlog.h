#pragma once

#include <QLoggingCategory>

// Log lines of the switcher control model, category "tavrik.switcher"; a rule such as
// QT_LOGGING_RULES="tavrik.switcher.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcSwitcher)
