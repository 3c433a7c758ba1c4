#pragma once

#include <QLoggingCategory>

// Log lines of camera control, category "tavrik.camera"; a rule such as
// QT_LOGGING_RULES="tavrik.camera.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcCamera)
