#include "platform/text/asciitext.h"

#include <algorithm>

namespace kivora {

std::u16string asciiLowered(std::u16string_view text)
{
    std::u16string lower(text);
    for (char16_t &c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    }
    return lower;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle)
{
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
        if (equalsIgnoringCase(haystack.substr(i, needle.size()), needle))
            return true;
    }
    return false;
}

std::string_view trimmed(std::string_view text, std::string_view whitespace)
{
    const std::size_t first = text.find_first_not_of(whitespace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(whitespace) - first + 1);
}

PathParts splitPath(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

} // namespace kivora
