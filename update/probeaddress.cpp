#include "update/probeaddress.h"

namespace kivora {

std::u16string probeAddress(const std::u16string &url)
{
    std::u16string lower = url;
    for (char16_t &c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    if (lower.find(u"http://") != std::u16string::npos)
        return url;
    return u"http://" + url;
}

} // namespace kivora
