#include "category/Xchangshi.h"

namespace kivora {

TXchangshiForm *XchangshiForm = nullptr;

} // namespace kivora
