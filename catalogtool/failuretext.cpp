#include "catalogtool/failuretext.h"

#include "platform/net/urldownloaderrors.h"

#include <cstdio>

namespace kivora::catalogtool {

std::string describeFailure(HRESULT result)
{
    switch (result) {
    case INET_E_RESOURCE_NOT_FOUND:
        return "the server does not have it or answered with an error";
    case INET_E_CANNOT_CONNECT:
        return "no connection to the download server";
    case INET_E_CONNECTION_TIMEOUT:
        return "the server stopped answering";
    case INET_E_DOWNLOAD_FAILURE:
        return "the transfer broke off";
    case INET_E_REDIRECT_FAILED:
        return "the server sent it elsewhere";
    case INET_E_SECURITY_PROBLEM:
        return "the server's certificate is not trusted";
    case INET_E_INVALID_URL:
        return "the address is not valid";
    case STG_E_WRITEFAULT:
        return "the file cannot be written";
    case E_FILE_TOO_LARGE:
        return "the file is larger than a title may be";
    case E_OUTOFMEMORY:
        return "out of memory";
    default: {
        char text[48];
        std::snprintf(text, sizeof text, "failed with code 0x%08X", static_cast<unsigned>(result));
        return text;
    }
    }
}

} // namespace kivora::catalogtool
