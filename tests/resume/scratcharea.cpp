#include "tests/resume/scratcharea.h"

#include <cstdlib>
#include <stdexcept>

namespace kivora::test {

ScratchArea::ScratchArea()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kivora-resume-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("no scratch folder");
    m_root = pattern;
    std::filesystem::create_directory(m_root / "erge");
}

ScratchArea::~ScratchArea()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::set<std::string> ScratchArea::stagedNames() const
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(m_root / ".kivora-staging", error))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace kivora::test
