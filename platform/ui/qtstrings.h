#pragma once

#include <QString>

#include <string_view>

namespace kivora {

// The program's UTF-16 text as the toolkit's string.
QString toQString(std::u16string_view text);
// The path of `name` (ASCII) in the program directory.
QString programFile(const char *name);

} // namespace kivora
