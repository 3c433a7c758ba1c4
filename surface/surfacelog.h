#pragma once

#include <QLoggingCategory>

// Log lines of the T-bar, joystick and keys, category "tavrik.surface"; a rule such as
// QT_LOGGING_RULES="tavrik.surface.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcSurface)
