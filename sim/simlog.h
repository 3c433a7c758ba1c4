#pragma once

#include <QLoggingCategory>

// Log lines of the simulated unit, category "tavrik.sim"; a rule such as
// QT_LOGGING_RULES="tavrik.sim.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcSim)
