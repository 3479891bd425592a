#include "category/gushi.h"

namespace kivora {

TgushiForm *gushiForm = nullptr;

} // namespace kivora
