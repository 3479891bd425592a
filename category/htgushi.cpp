#include "category/htgushi.h"

namespace kivora {

Thtgushiform *htgushiform = nullptr;

} // namespace kivora
