#pragma once

#include "transfer/fetcherror.h"
#include "transfer/workmode.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kivora {

class BodySink;
class HttpConnection;
struct BodyFraming;

// A minimal HTTP/1.1 client: one GET per call, a fresh connection each time, no proxy,
// no redirections, no authentication. Progress events are raised on the calling thread.
class HttpClient
{
public:
    // `total` is the announced body length, 0 when none was announced.
    using WorkBeginEvent = std::function<void(HttpClient &sender, WorkMode mode, std::int64_t total)>;
    // `count` is the running number of body bytes read since the matching work-begin.
    using WorkEvent = std::function<void(HttpClient &sender, WorkMode mode, std::int64_t count)>;

    static constexpr std::size_t kBlockSize = 32768;
    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{15000};
    static constexpr std::chrono::milliseconds kDefaultReadTimeout{30000};

    HttpClient() = default;

    void setOnWorkBegin(WorkBeginEvent handler) { m_onWorkBegin = std::move(handler); }
    void setOnWork(WorkEvent handler) { m_onWork = std::move(handler); }
    // Bounds establishing the connection, all addresses of the host together.
    void setConnectTimeout(std::chrono::milliseconds timeout) { m_connectTimeout = timeout; }
    // Bounds each wait for the server: a read or send that stalls this long fails.
    void setReadTimeout(std::chrono::milliseconds timeout) { m_readTimeout = timeout; }

    // Fetches the http address `url` (UTF-8) with one GET. A 2xx body goes to `sink`.
    // Interim 100 responses are skipped. Any other status fails with its code and text,
    // after its body (which never reaches `sink`) has been read with the same framing and
    // events. A body cut short by the server fails.
    std::optional<FetchError> get(std::string_view url, BodySink &sink);

    // The status of the latest final response head, 0 until one has arrived.
    int responseCode() const { return m_responseCode; }

private:
    std::optional<FetchError> readBody(HttpConnection &connection, const BodyFraming &framing, std::string &received, BodySink &sink);
    std::optional<FetchError> readLengthBody(HttpConnection &connection, std::int64_t length, std::string_view received, BodySink &sink);
    std::optional<FetchError> readChunkedBody(HttpConnection &connection, std::string &received, BodySink &sink);
    std::optional<FetchError> readBodyUntilClose(HttpConnection &connection, std::string_view received, BodySink &sink);
    std::optional<FetchError> deliver(std::string_view bytes, std::int64_t &count, BodySink &sink);
    void workBegin(std::int64_t total);

    WorkBeginEvent m_onWorkBegin;
    WorkEvent m_onWork;
    std::chrono::milliseconds m_connectTimeout = kDefaultConnectTimeout;
    std::chrono::milliseconds m_readTimeout = kDefaultReadTimeout;
    int m_responseCode = 0;
};

} // namespace kivora
