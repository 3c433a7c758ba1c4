#pragma once

#include <QLoggingCategory>

// Log lines of the control surface (T-bar, joystick, keys), as "tavrik.surface": QT_LOGGING_RULES="tavrik.surface.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcSurface)
