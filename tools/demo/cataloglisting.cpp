#include "tools/demo/cataloglisting.h"

#include <vector>

namespace kivora::demo {

namespace {

bool isPlainSegment(std::string_view text)
{
    return !text.empty() && text != "." && text != ".." && text.find('/') == std::string_view::npos
        && text.find('\\') == std::string_view::npos && text.find('\0') == std::string_view::npos;
}

} // namespace

std::optional<CatalogEntry> parseCatalogLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string_view> columns;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        columns.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    if (columns.size() < 5 || !isPlainSegment(columns[2]) || !isPlainSegment(columns[4]))
        return std::nullopt;
    return CatalogEntry{std::string(columns[2]), std::string(columns[4])};
}

std::filesystem::path cardPath(const std::filesystem::path &cache, const CatalogEntry &entry)
{
    return cache / std::filesystem::path(entry.folder) / std::filesystem::path(entry.title + ".swf");
}

} // namespace kivora::demo
