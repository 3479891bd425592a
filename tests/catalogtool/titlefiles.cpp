#include "tests/catalogtool/titlefiles.h"

#include "catalog/TCategoryInfo.h"
#include "catalog/contentaddress.h"
#include "tests/support/testfiles.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace kivora::test {

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kivora-catalogtool-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("no scratch folder");
    m_path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> titleNames(std::string_view folder)
{
    std::vector<std::string> names;
    for (const auto &category : categories()) {
        if (!folder.empty() && category.folder != folder)
            continue;
        for (const auto title : category.titles)
            names.push_back(toUtf8(localPath(u"", category.folder, title)));
    }
    return names;
}

std::string titleBytes(const std::string &name, std::size_t size)
{
    std::string bytes = name;
    while (bytes.size() < size)
        bytes += name;
    bytes.resize(std::max(size, name.size()));
    return bytes;
}

void writeTitles(const std::filesystem::path &root, const std::vector<std::string> &names, std::size_t size)
{
    for (const auto &name : names)
        writeFile(root / name, titleBytes(name, size));
}

std::vector<std::string> entriesOf(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace kivora::test
