#include "switcher/switcherlog.h"

Q_LOGGING_CATEGORY(lcSwitcher, "tavrik.switcher")
