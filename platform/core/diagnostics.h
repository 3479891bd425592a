#pragma once

#include <QLoggingCategory>

namespace kivora {

// Why background work failed, at debug level: silent unless asked for, for example with
// QT_LOGGING_RULES="kivora.*=true".
Q_DECLARE_LOGGING_CATEGORY(transferLog)
Q_DECLARE_LOGGING_CATEGORY(updateLog)
Q_DECLARE_LOGGING_CATEGORY(playerLog)

} // namespace kivora
