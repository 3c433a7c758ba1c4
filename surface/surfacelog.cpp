#include "surface/surfacelog.h"

Q_LOGGING_CATEGORY(lcSurface, "tavrik.surface")
