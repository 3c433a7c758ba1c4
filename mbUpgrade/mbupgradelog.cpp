#include "mbUpgrade/mbupgradelog.h"

Q_LOGGING_CATEGORY(lcMbUpgrade, "tavrik.mbupgrade")
