#include "platform/core/diagnostics.h"

namespace kivora {

Q_LOGGING_CATEGORY(transferLog, "kivora.transfer", QtWarningMsg)
Q_LOGGING_CATEGORY(updateLog, "kivora.update", QtWarningMsg)
Q_LOGGING_CATEGORY(playerLog, "kivora.player", QtWarningMsg)

} // namespace kivora
