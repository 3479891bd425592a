// Feeds arbitrary bytes to the response parsers, whole and in pieces, and checks that
// both ways agree; also feeds them to the address parser and checks the request line,
// and to the readers of partial answers and of the records kept for resuming.
#include "transfer/bodyframing.h"
#include "transfer/chunkeddecoder.h"
#include "transfer/httpresponsehead.h"
#include "transfer/httpurl.h"
#include "platform/net/responseheaders.h"
#include "platform/net/resumerecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace kivora;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Reading a head from a growing buffer must end as reading it from the whole input does.
void fuzzHead(std::string_view input, std::size_t piece, HttpResponseHead &head, ParseResult &whole)
{
    whole = parseResponseHead(input, head);
    for (std::size_t n = piece; n < input.size(); n += piece) {
        HttpResponseHead partial;
        const ParseResult r = parseResponseHead(input.substr(0, n), partial);
        if (r.status == ParseStatus::NeedMore)
            continue;
        check(r.status == whole.status && r.consumed == whole.consumed);
        break;
    }
    if (whole.status == ParseStatus::Consumed)
        check(whole.consumed > 0 && whole.consumed <= input.size());
}

struct Chunked
{
    ParseStatus status = ParseStatus::NeedMore;
    std::string body;
    std::size_t consumed = 0;
};

Chunked decode(std::string_view input, std::size_t piece)
{
    ChunkedDecoder decoder;
    Chunked out;
    std::string pending;
    std::size_t fed = 0;
    while (!decoder.finished()) {
        const ChunkedDecoder::Step step = decoder.step(pending);
        if (step.status == ParseStatus::Error) {
            out.status = ParseStatus::Error;
            return out;
        }
        if (step.status == ParseStatus::NeedMore) {
            check(pending.size() <= 2 * kMaxChunkSizeLineLength + 16384);
            if (fed == input.size())
                return out;
            const std::size_t n = std::min(piece, input.size() - fed);
            pending.append(input.substr(fed, n));
            fed += n;
            continue;
        }
        check(step.consumed > 0 && step.consumed <= pending.size());
        check(step.data.empty() || (step.data.data() >= pending.data() && step.data.size() <= step.consumed));
        out.body.append(step.data);
        out.consumed += step.consumed;
        pending.erase(0, step.consumed);
    }
    out.status = ParseStatus::Consumed;
    return out;
}

void fuzzUrl(std::string_view text)
{
    HttpUrl url;
    std::string error;
    if (!parseHttpUrl(text, url, error))
        return;
    check(!url.target.empty() && url.target.front() == '/');
    for (char c : url.target) {
        const auto u = static_cast<unsigned char>(c);
        check(u > 0x20 && u < 0x7f && c != '#');
    }
    for (char c : url.hostField())
        check(static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7f);
    const std::string request = buildGetRequest(url);
    check(request.find("\r\n") == request.find(" HTTP/1.1\r\n") + 9);
}

void fuzzResume(std::string_view input)
{
    if (const std::optional<ContentRange> range = parseContentRange(input))
        check(range->first <= range->last && (!range->total || *range->total > range->last));
    ResponseHeaders headers;
    headers.addLine(input);
    check(!headers.validator().starts_with("W/"));
    if (const std::optional<ResumeRecord> record = parseResumeRecord(input)) {
        const std::optional<ResumeRecord> again = parseResumeRecord(formatResumeRecord(*record));
        check(again && again->url == record->url && again->validator == record->validator
              && again->size == record->size);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t piece = data[0] % 17 + 1;
    const std::string_view input(reinterpret_cast<const char *>(data + 1), size - 1);

    fuzzUrl(input);
    fuzzResume(input);

    HttpResponseHead head;
    ParseResult parsed;
    fuzzHead(input, piece, head, parsed);
    std::string_view body = input;
    if (parsed.status == ParseStatus::Consumed) {
        const BodyFraming framing = bodyFramingOf(head);
        check(framing.length >= 0);
        body = input.substr(parsed.consumed);
    }
    const Chunked whole = decode(body, body.size() + 1);
    const Chunked pieces = decode(body, piece);
    check(whole.status == pieces.status);
    if (whole.status == ParseStatus::Consumed)
        check(whole.body == pieces.body && whole.consumed == pieces.consumed);
    return 0;
}
