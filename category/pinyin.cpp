#include "category/pinyin.h"

namespace kivora {

TpinyinForm *pinyinForm = nullptr;

} // namespace kivora
