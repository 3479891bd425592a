#include "gwerger.h"

namespace kivora {

TgwergerForm *gwergerForm = nullptr;

} // namespace kivora
