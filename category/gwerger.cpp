#include "category/gwerger.h"

namespace kivora {

TgwergerForm *gwergerForm = nullptr;

} // namespace kivora
