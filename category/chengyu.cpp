#include "category/chengyu.h"

namespace kivora {

Tchengyuform *chengyuform = nullptr;

} // namespace kivora
