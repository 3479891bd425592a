#pragma once

#include <string>

namespace kivora {

// Why a fetch failed. Failures travel as values; none crosses a thread.
struct FetchError
{
    enum class Kind {
        BadAddress,       // not an http address we can use
        Resolve,          // the host name has no address
        Connect,          // no connection could be made
        Timeout,          // connecting or a read took longer than allowed
        Network,          // the connection broke
        ConnectionClosed, // the server closed before the response was complete
        Protocol,         // the response is malformed or exceeds a limit
        Status,           // the server answered with a status other than 2xx
        Storage,          // the file could not be created, written or saved
        Digest,           // the body does not have the expected SHA-256 digest
        NotAProgram,      // the body was to be a program of this machine and is not
        Internal,         // anything else, such as memory exhaustion
    };

    Kind kind = Kind::Internal;
    std::string message;
    int status = 0; // the HTTP status for Kind::Status
};

} // namespace kivora
