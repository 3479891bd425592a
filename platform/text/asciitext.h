#pragma once

#include <string>
#include <string_view>

// ASCII text rules of protocols and paths: only the letters A-Z count as upper case, so
// UTF-8 and UTF-16 text passes through unchanged. No Qt.
namespace kivora {

inline constexpr std::string_view kBlanks = " \t";

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::u16string asciiLowered(std::u16string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);
// `text` without the characters of `whitespace` at either end.
std::string_view trimmed(std::string_view text, std::string_view whitespace = kBlanks);

// A path split at its last '/': the folder keeps that '/', and is "." when there is none.
struct PathParts
{
    std::string folder;
    std::string name;
};
PathParts splitPath(const std::string &path);

} // namespace kivora
