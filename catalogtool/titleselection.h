#pragma once

#include "catalogtool/catalogoptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivora::catalogtool {

// One title of the catalog, with where it lives locally and on the download server.
struct TitleFile
{
    std::string folder;
    std::string name;         // "folder/title.swf", UTF-8, for messages
    std::u16string localPath; // in the program directory
    std::u16string address;   // on the download server
};

struct TitleSelection
{
    std::vector<TitleFile> titles;
    // Empty when every folder named a category.
    std::string error;
};

// The titles of the named category folders, in the order given (each folder once), or of
// every category when `folders` is empty; catalog order inside a category.
TitleSelection selectTitles(const std::vector<std::string> &folders, std::string_view programDir,
                            std::string_view downloadHost);

// The titles a command's options name (--all or folders); prints why to standard error and
// answers nothing when a folder names no category.
std::optional<std::vector<TitleFile>> titlesNamedBy(const CatalogOptions &options);

// Whether the title's file is in the program directory.
bool isPresent(const TitleFile &title);
std::size_t countMissing(const std::vector<TitleFile> &titles);

} // namespace kivora::catalogtool
