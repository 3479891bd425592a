// Prints the last line of its own file. Tests append a word to a copy of this program to
// tell one real executable from another: the old `lumora` from the new.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main()
{
    std::ifstream self("/proc/self/exe", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(self)), std::istreambuf_iterator<char>());
    if (bytes.size() < 2 || bytes.back() != '\n')
        return 1;
    const std::size_t start = bytes.rfind('\n', bytes.size() - 2) + 1;
    std::fwrite(bytes.data() + start, 1, bytes.size() - start, stdout);
    return 0;
}
