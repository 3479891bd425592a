#include "tests/support/scratchfolder.h"

#include <stdlib.h>

namespace kivora::test {

ScratchFolder::ScratchFolder()
{
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error)
        return;
    std::string pattern = (base / "kivora-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    if (m_path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::set<std::string> ScratchFolder::entries() const
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(m_path, error))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace kivora::test
