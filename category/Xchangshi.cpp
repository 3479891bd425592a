#include "Xchangshi.h"

namespace kivora {

TXchangshiForm *XchangshiForm = nullptr;

} // namespace kivora
