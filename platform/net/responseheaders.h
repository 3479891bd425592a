#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// "Content-Range: bytes first-last/total" of a partial answer.
struct ContentRange
{
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    std::optional<std::uint64_t> total; // none for "*"
};

std::optional<ContentRange> parseContentRange(std::string_view value);

// The header fields that decide whether an answer continues a partial download, gathered
// line by line as they arrive. A status line starts over, so that after redirections only
// the final answer's fields remain.
class ResponseHeaders
{
public:
    void addLine(std::string_view line);

    // What a later request can send in If-Range: a strong ETag, or else a Last-Modified
    // date at least a second before the answer's Date, since a resource may change again
    // within the second it was modified (a weak ETag cannot validate a range either).
    // Empty when there is neither.
    std::string validator() const;
    // Whether the answer names another validator of the kind of `kept` (an entity tag or a
    // date): a server that ignores If-Range answers a range of another resource so.
    bool contradicts(const std::string &kept) const;
    const std::string &etag() const { return m_etag; }
    const std::string &contentRange() const { return m_contentRange; }

private:
    std::string m_etag;
    std::string m_lastModified;
    std::string m_date;
    std::string m_contentRange;
};

} // namespace kivora
