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

std::map<std::string, std::uintmax_t> ScratchArea::contents() const
{
    std::map<std::string, std::uintmax_t> found;
    std::error_code error;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root(), error))
        found[entry.path().string()] = entry.is_regular_file(error) ? entry.file_size(error) : 0;
    return found;
}

} // namespace kivora::test
