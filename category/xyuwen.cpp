#include "category/xyuwen.h"

namespace kivora {

TxyuwenForm *xyuwenForm = nullptr;

} // namespace kivora
