#pragma once

#include <QLoggingCategory>

// Log lines of the network services, category "tavrik.netsvc"; a rule such as
// QT_LOGGING_RULES="tavrik.netsvc.debug=false" mutes their detail alone.
Q_DECLARE_LOGGING_CATEGORY(lcNetsvc)
