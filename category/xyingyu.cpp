#include "category/xyingyu.h"

namespace kivora {

TxyingyuForm *xyingyuForm = nullptr;

} // namespace kivora
