#include "category/currenttransfer.h"

#include "platform/core/bindstatus.h"

namespace kivora {

CurrentTransfer currentTransfer;

} // namespace kivora
