#pragma once

#include <QLoggingCategory>

// Log lines of the network services, as "tavrik.netsvc": QT_LOGGING_RULES="tavrik.netsvc.debug=false"
// silences its detail, every other subsystem keeps talking.
Q_DECLARE_LOGGING_CATEGORY(lcNetsvc)
