#include "tests/support/testfiles.h"

#include <cstdint>
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

std::string varyingBytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242u + seed;
    for (char &byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    return bytes;
}

} // namespace kivora::test
