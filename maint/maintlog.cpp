#include "maint/maintlog.h"

Q_LOGGING_CATEGORY(lcMaint, "tavrik.maint")
