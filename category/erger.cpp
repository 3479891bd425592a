#include "category/erger.h"

namespace kivora {

TergerForm *ergerForm = nullptr;

} // namespace kivora
