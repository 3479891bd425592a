#include "platform/net/transportsecurity.h"

namespace kivora {

void restrictToScheme(CURL *curl, std::string_view wireAddress)
{
    const CurlApi &api = *curlApi();
    // wireAddress() writes the scheme in lower case.
    const char *scheme = wireAddress.starts_with("https://") ? "https" : "http";
    api.easy_setopt(curl, CURLOPT_PROTOCOLS_STR, scheme);
    api.easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, scheme);
    api.easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    api.easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (const char *authority = testAuthorityFile())
        api.easy_setopt(curl, CURLOPT_CAINFO, authority);
}

} // namespace kivora
