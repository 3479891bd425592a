#include "tests/support/testfiles.h"

#include <fstream>
#include <sstream>

namespace kivora::test {

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::filesystem::path &path, const std::string &bytes, mode_t mode)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode));
}

} // namespace kivora::test
