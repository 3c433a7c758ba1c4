#include "mainboard/mainboardlog.h"

Q_LOGGING_CATEGORY(lcMainboard, "tavrik.mainboard")
