#include "category/wanyouxi.h"

namespace kivora {

TwanyouxiForm *wanyouxiForm = nullptr;

} // namespace kivora
