#include "category/currenttransfer.h"

#include "platform/net/bindstatus.h"

namespace kivora {

CurrentTransfer currentTransfer;

} // namespace kivora
