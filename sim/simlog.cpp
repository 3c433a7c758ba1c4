#include "sim/simlog.h"

Q_LOGGING_CATEGORY(lcSim, "tavrik.sim")
