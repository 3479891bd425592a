#include "titletestsupport.h"

#include "contentaddress.h"

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
    return "\"" + toUtf8(title) + "\"";
}

} // namespace kivora::test
