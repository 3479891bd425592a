#pragma once

#include "transfer/fetcherror.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// One TCP connection (IPv4 or IPv6) whose every wait is bounded.
class HttpConnection
{
public:
    HttpConnection() = default;
    ~HttpConnection();
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;

    // Tries each address of `host` in turn until one connects; `timeout` bounds all the
    // attempts together (name resolution itself is up to the system resolver).
    std::optional<FetchError> open(const std::string &host, std::uint16_t port, std::chrono::milliseconds timeout);

    // `timeout` bounds each wait for the peer to accept more bytes.
    std::optional<FetchError> sendAll(std::string_view bytes, std::chrono::milliseconds timeout);

    struct Received
    {
        std::size_t count = 0; // 0 with no error: the peer closed the connection
        std::optional<FetchError> error;
    };

    // Waits at most `timeout` for bytes to arrive, then takes up to `capacity` of them.
    Received receive(char *buffer, std::size_t capacity, std::chrono::milliseconds timeout);

private:
    int m_socket = -1;
};

} // namespace kivora
