#include "platform/platformlog.h"

Q_LOGGING_CATEGORY(lcPlatform, "tavrik.platform")
