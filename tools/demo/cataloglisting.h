#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kivora::demo {

// One line of the catalog listing: window class, window name, folder,
// position, title, local path, streaming address, download address,
// separated by tabs. Only the folder and the title matter here.
struct CatalogEntry {
    std::string folder;
    std::string title; // UTF-8
};

// Refuses lines with fewer than five columns, and folders or titles that are
// not a single plain file-name segment (they become files in the cache).
std::optional<CatalogEntry> parseCatalogLine(std::string_view line);

// <cache>/<folder>/<title>.swf
std::filesystem::path cardPath(const std::filesystem::path &cache, const CatalogEntry &entry);

} // namespace kivora::demo
