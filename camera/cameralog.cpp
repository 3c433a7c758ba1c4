#include "camera/cameralog.h"

Q_LOGGING_CATEGORY(lcCamera, "tavrik.camera")
