#pragma once

#include <QLoggingCategory>

// Log lines of camera control, as "tavrik.camera": QT_LOGGING_RULES="tavrik.camera.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcCamera)
