#include "transfer/httpresponsehead.h"

#include "transfer/httpsyntax.h"

namespace kivora {

using namespace httpsyntax;

const std::string *HttpResponseHead::field(std::string_view name) const
{
    for (const HttpHeaderField &f : fields) {
        if (equalsIgnoringCase(f.name, name))
            return &f.value;
    }
    return nullptr;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "HTTP/1.x SP 3DIGIT [SP reason]"
bool parseStatusLine(std::string_view line, HttpResponseHead &head)
{
    constexpr std::string_view prefix = "HTTP/1.";
    if (line.size() < prefix.size() + 5 || line.substr(0, prefix.size()) != prefix)
        return false;
    const char minor = line[prefix.size()];
    if (!isDigit(minor) || line[prefix.size() + 1] != ' ')
        return false;
    const std::string_view rest = line.substr(prefix.size() + 2);
    if (rest.size() < 3 || !isDigit(rest[0]) || !isDigit(rest[1]) || !isDigit(rest[2]))
        return false;
    const int status = (rest[0] - '0') * 100 + (rest[1] - '0') * 10 + (rest[2] - '0');
    if (status < 100)
        return false;
    std::string_view reason = rest.substr(3);
    if (!reason.empty()) {
        if (reason.front() != ' ')
            return false;
        reason.remove_prefix(1);
    }
    for (char c : reason) {
        if (!isFieldChar(c))
            return false;
    }
    head.minorVersion = minor - '0';
    head.status = status;
    head.reason = std::string(reason);
    return true;
}

} // namespace

ParseResult parseResponseHead(std::string_view input, HttpResponseHead &head)
{
    head = HttpResponseHead{};
    const ParseResult needMore{ParseStatus::NeedMore, 0};
    const ParseResult error{ParseStatus::Error, 0};

    std::size_t pos = 0;
    bool statusRead = false;
    for (;;) {
        if (pos > kMaxResponseHeadLength)
            return error;
        const std::size_t budget = kMaxResponseHeadLength + 2 - pos;
        const Line line = scanLine(input.substr(pos), std::min(kMaxResponseLineLength, budget));
        if (line.status == LineStatus::NeedMore)
            return needMore;
        if (line.status == LineStatus::TooLong)
            return error;
        pos += line.length;

        if (!statusRead) {
            if (!parseStatusLine(line.text, head))
                return error;
            statusRead = true;
            continue;
        }
        if (line.text.empty())
            return pos > kMaxResponseHeadLength + 2 ? error : ParseResult{ParseStatus::Consumed, pos};
        if (isBlank(line.text.front()) || head.fields.size() == kMaxResponseFields)
            return error;
        std::string_view name;
        std::string_view value;
        if (!splitField(line.text, name, value))
            return error;
        head.fields.push_back({std::string(name), std::string(value)});
    }
}

} // namespace kivora
