#include "update/probeaddress.h"

#include "platform/text/asciitext.h"

namespace kivora {

std::u16string probeAddress(const std::u16string &url)
{
    if (asciiLowered(url).find(u"http://") != std::u16string::npos)
        return url;
    return u"http://" + url;
}

} // namespace kivora
