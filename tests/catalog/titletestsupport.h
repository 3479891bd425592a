#pragma once

#include "catalog/TCategoryInfo.h"

#include <string>
#include <string_view>

namespace kivora::test {

// Precondition: windowClass names one of the eleven categories (the test fails otherwise).
const TCategoryInfo& category(std::string_view windowClass);

// Readable form of a title for failure messages.
std::string printable(std::u16string_view title);

} // namespace kivora::test
