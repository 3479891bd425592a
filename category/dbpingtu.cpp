#include "category/dbpingtu.h"

namespace kivora {

Tdbpingtuform *dbpingtuform = nullptr;

} // namespace kivora
