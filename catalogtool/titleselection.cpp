#include "catalogtool/titleselection.h"

#include "catalog/TCategoryInfo.h"
#include "catalog/contentaddress.h"
#include "platform/text/utf.h"

#include <algorithm>
#include <filesystem>
#include <cstdio>

namespace kivora::catalogtool {

namespace {

const TCategoryInfo *findFolder(std::string_view folder)
{
    for (const auto &category : categories()) {
        if (category.folder == folder)
            return &category;
    }
    return nullptr;
}

std::string knownFolders()
{
    std::string list;
    for (const auto &category : categories()) {
        if (!list.empty())
            list += ' ';
        list += category.folder;
    }
    return list;
}

void addCategory(const TCategoryInfo &category, std::u16string_view programDir, std::string_view downloadHost,
                 std::vector<TitleFile> &titles)
{
    for (const auto title : category.titles) {
        TitleFile file;
        file.folder = std::string(category.folder);
        file.name = toUtf8(localPath(u"", category.folder, title));
        file.localPath = localPath(programDir, category.folder, title);
        file.address = contentAddress(downloadHost, category.folder, title);
        titles.push_back(std::move(file));
    }
}

} // namespace

TitleSelection selectTitles(const std::vector<std::string> &folders, std::string_view programDir,
                            std::string_view downloadHost)
{
    TitleSelection selection;
    std::u16string directory = fromUtf8(programDir.empty() ? std::string_view(".") : programDir);
    if (directory.back() != u'/')
        directory += u'/';

    if (folders.empty()) {
        for (const auto &category : categories())
            addCategory(category, directory, downloadHost, selection.titles);
        return selection;
    }
    std::vector<const TCategoryInfo *> chosen;
    for (const auto &folder : folders) {
        const TCategoryInfo *category = findFolder(folder);
        if (!category) {
            selection.titles.clear();
            selection.error = "no category has the folder '" + folder + "'; the folders are: " + knownFolders();
            return selection;
        }
        if (std::find(chosen.begin(), chosen.end(), category) == chosen.end())
            chosen.push_back(category);
    }
    for (const TCategoryInfo *category : chosen)
        addCategory(*category, directory, downloadHost, selection.titles);
    return selection;
}

std::optional<std::vector<TitleFile>> titlesNamedBy(const CatalogOptions &options)
{
    TitleSelection selection =
        selectTitles(options.all ? std::vector<std::string>{} : options.folders, options.programDir, options.downloadHost);
    if (!selection.error.empty()) {
        std::fprintf(stderr, "kivora-catalog: %s\n", selection.error.c_str());
        return std::nullopt;
    }
    return std::move(selection.titles);
}

bool isPresent(const TitleFile &title)
{
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(toUtf8(title.localPath)), error);
}

std::size_t countMissing(const std::vector<TitleFile> &titles)
{
    std::size_t missing = 0;
    for (const auto &title : titles)
        missing += isPresent(title) ? 0 : 1;
    return missing;
}

} // namespace kivora::catalogtool
