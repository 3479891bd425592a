#pragma once

#include <string>
#include <string_view>

namespace kivora {

// Which bytes of an address's path or query stay as they are; every other byte is
// written as %XX (upper-case hex). Unreserved characters always stay.
struct PercentEncodingRule
{
    std::string_view kept; // further characters that stay
    bool keepEscapes;      // a '%' followed by two hex digits stays, as an escape already made
};

// An address typed as plain text: '%' is a character like any other, and the apostrophe
// is written out although a path may carry it, as some servers mishandle it.
inline constexpr PercentEncodingRule plainTextPath{"!$&()*+,;=:@/", false};
inline constexpr PercentEncodingRule plainTextQuery{"!$&()*+,;=:@/?", false};
// A request line's target: only what a request line may not carry is written out, and
// escapes already in the address stay.
inline constexpr PercentEncodingRule requestTarget{"!$&'()*+,;=:@/?", true};

void appendPercentEncoded(std::string &out, std::string_view bytes, const PercentEncodingRule &rule);

} // namespace kivora
