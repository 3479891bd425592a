#include "currenttransfer.h"

#include "bindstatus.h"

namespace kivora {

CurrentTransfer currentTransfer;

} // namespace kivora
