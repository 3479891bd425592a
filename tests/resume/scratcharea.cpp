#include "tests/resume/scratcharea.h"

#include <stdexcept>

namespace kivora::test {

ScratchArea::ScratchArea()
{
    if (!m_folder.isValid())
        throw std::runtime_error("no scratch folder");
    std::filesystem::create_directory(root() / "erge");
}

ScratchArea::~ScratchArea() = default;

std::set<std::string> ScratchArea::stagedNames() const
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator(root() / ".kivora-staging", error))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace kivora::test
