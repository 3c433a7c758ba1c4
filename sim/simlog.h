#pragma once

#include <QLoggingCategory>

// Log lines of the simulated unit, as "tavrik.sim": QT_LOGGING_RULES="tavrik.sim.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcSim)
