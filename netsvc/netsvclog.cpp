#include "netsvc/netsvclog.h"

Q_LOGGING_CATEGORY(lcNetsvc, "tavrik.netsvc")
