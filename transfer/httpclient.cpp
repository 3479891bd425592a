#include "transfer/httpclient.h"

#include "transfer/bodyframing.h"
#include "transfer/bodysink.h"
#include "transfer/chunkeddecoder.h"
#include "transfer/httpconnection.h"
#include "transfer/httpresponsehead.h"
#include "transfer/httpurl.h"

#include <algorithm>
#include <vector>

namespace kivora {

namespace {

// Where the body of a failing response goes: it is read to keep the framing, then dropped.
class DiscardingSink : public BodySink
{
public:
    std::optional<FetchError> write(std::string_view) override { return std::nullopt; }
};

FetchError protocolError(const std::string &what) { return {FetchError::Kind::Protocol, what, 0}; }

FetchError closedError(const std::string &what) { return {FetchError::Kind::ConnectionClosed, what, 0}; }

} // namespace

std::optional<FetchError> HttpClient::get(std::string_view url, BodySink &sink)
{
    m_responseCode = 0;
    HttpUrl address;
    std::string why;
    if (!parseHttpUrl(url, address, why))
        return FetchError{FetchError::Kind::BadAddress, why, 0};

    HttpConnection connection;
    if (auto error = connection.open(address.host, address.port, m_connectTimeout))
        return error;
    if (auto error = connection.sendAll(buildGetRequest(address), m_readTimeout))
        return error;

    std::string received;
    std::vector<char> block(kBlockSize);
    HttpResponseHead head;
    for (;;) {
        const ParseResult parsed = parseResponseHead(received, head);
        if (parsed.status == ParseStatus::Error)
            return protocolError("malformed or oversized response head");
        if (parsed.status == ParseStatus::NeedMore) {
            const HttpConnection::Received r = connection.receive(block.data(), block.size(), m_readTimeout);
            if (r.error)
                return r.error;
            if (r.count == 0)
                return closedError("connection closed before the response head was complete");
            received.append(block.data(), r.count);
            continue;
        }
        received.erase(0, parsed.consumed);
        if (head.status != 100)
            break;
    }
    m_responseCode = head.status;

    const BodyFraming framing = bodyFramingOf(head);
    if (framing.kind == BodyFraming::Kind::Invalid)
        return protocolError("malformed Content-Length");

    const bool success = head.status >= 200 && head.status <= 299;
    DiscardingSink discard;
    if (auto error = readBody(connection, framing, received, success ? sink : discard))
        return error;
    if (!success)
        return FetchError{FetchError::Kind::Status, "HTTP " + std::to_string(head.status) + " " + head.reason, head.status};
    return std::nullopt;
}

std::optional<FetchError> HttpClient::readBody(HttpConnection &connection, const BodyFraming &framing, std::string &received, BodySink &sink)
{
    switch (framing.kind) {
    case BodyFraming::Kind::None:
    case BodyFraming::Kind::Invalid:
        return std::nullopt;
    case BodyFraming::Kind::Length:
        return readLengthBody(connection, framing.length, received, sink);
    case BodyFraming::Kind::Chunked:
        return readChunkedBody(connection, received, sink);
    case BodyFraming::Kind::UntilClose:
        return readBodyUntilClose(connection, received, sink);
    }
    return std::nullopt;
}

void HttpClient::workBegin(std::int64_t total)
{
    if (m_onWorkBegin)
        m_onWorkBegin(*this, WorkMode::Read, total);
}

std::optional<FetchError> HttpClient::deliver(std::string_view bytes, std::int64_t &count, BodySink &sink)
{
    if (auto error = sink.write(bytes))
        return error;
    count += static_cast<std::int64_t>(bytes.size());
    if (m_onWork)
        m_onWork(*this, WorkMode::Read, count);
    return std::nullopt;
}

std::optional<FetchError> HttpClient::readLengthBody(HttpConnection &connection, std::int64_t length, std::string_view received, BodySink &sink)
{
    if (length == 0)
        return std::nullopt;
    workBegin(length);
    std::int64_t count = 0;
    // First the part that came with the head, then whole blocks, the last one the remainder.
    const std::string_view early = received.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(length, received.size())));
    if (!early.empty()) {
        if (auto error = deliver(early, count, sink))
            return error;
    }
    std::vector<char> block(kBlockSize);
    while (count < length) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(kBlockSize, length - count));
        std::size_t filled = 0;
        while (filled < want) {
            const HttpConnection::Received r = connection.receive(block.data() + filled, want - filled, m_readTimeout);
            if (r.error)
                return r.error;
            if (r.count == 0) {
                return closedError("connection closed after " + std::to_string(count + static_cast<std::int64_t>(filled)) + " of "
                                   + std::to_string(length) + " body bytes");
            }
            filled += r.count;
        }
        if (auto error = deliver(std::string_view(block.data(), filled), count, sink))
            return error;
    }
    return std::nullopt;
}

std::optional<FetchError> HttpClient::readChunkedBody(HttpConnection &connection, std::string &received, BodySink &sink)
{
    workBegin(0);
    std::int64_t count = 0;
    ChunkedDecoder decoder;
    std::vector<char> block(kBlockSize);
    std::size_t offset = 0;
    while (!decoder.finished()) {
        const ChunkedDecoder::Step step = decoder.step(std::string_view(received).substr(offset));
        if (step.status == ParseStatus::Error)
            return protocolError("malformed chunked body");
        if (step.status == ParseStatus::NeedMore) {
            // Only an unfinished size, line end or trailer line is kept, so this stays small.
            received.erase(0, offset);
            offset = 0;
            const HttpConnection::Received r = connection.receive(block.data(), block.size(), m_readTimeout);
            if (r.error)
                return r.error;
            if (r.count == 0)
                return closedError("connection closed inside a chunked body");
            received.append(block.data(), r.count);
            continue;
        }
        offset += step.consumed;
        if (!step.data.empty()) {
            if (auto error = deliver(step.data, count, sink))
                return error;
        }
    }
    return std::nullopt;
}

std::optional<FetchError> HttpClient::readBodyUntilClose(HttpConnection &connection, std::string_view received, BodySink &sink)
{
    workBegin(0);
    std::int64_t count = 0;
    if (!received.empty()) {
        if (auto error = deliver(received, count, sink))
            return error;
    }
    std::vector<char> block(kBlockSize);
    for (;;) {
        const HttpConnection::Received r = connection.receive(block.data(), block.size(), m_readTimeout);
        if (r.error)
            return r.error;
        if (r.count == 0)
            return std::nullopt;
        if (auto error = deliver(std::string_view(block.data(), r.count), count, sink))
            return error;
    }
}

} // namespace kivora
