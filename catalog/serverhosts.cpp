#include "catalog/serverhosts.h"

#if !defined(KIVORA_STREAM_HOST) || !defined(KIVORA_DOWNLOAD_HOST) || !defined(KIVORA_UPDATE_HOST) \
    || !defined(KIVORA_CONTENT_SCHEME)
#error "The servers come from the build (KIVORA_STREAM_HOST, KIVORA_DOWNLOAD_HOST, KIVORA_UPDATE_HOST, KIVORA_CONTENT_SCHEME)"
#endif

namespace kivora {

std::string_view streamHost()
{
    return KIVORA_STREAM_HOST;
}

std::string_view downloadHost()
{
    return KIVORA_DOWNLOAD_HOST;
}

std::string_view updateHost()
{
    return KIVORA_UPDATE_HOST;
}

std::string_view contentScheme()
{
    return KIVORA_CONTENT_SCHEME;
}

} // namespace kivora
