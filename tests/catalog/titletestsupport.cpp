#include "tests/catalog/titletestsupport.h"

#include "catalog/contentaddress.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kivora::test {

const TCategoryInfo& category(std::string_view windowClass)
{
    const TCategoryInfo* info = findCategory(windowClass);
    if (info == nullptr)
        throw std::invalid_argument("no category " + std::string(windowClass));
    return *info;
}

std::string printable(std::u16string_view title)
{
    // Built in place: at -O3 GCC 12 takes an operator+ chain here for an overlapping copy.
    std::string quoted = toUtf8(title);
    quoted.insert(quoted.begin(), '"');
    quoted.push_back('"');
    return quoted;
}

} // namespace kivora::test
