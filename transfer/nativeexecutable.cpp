#include "transfer/nativeexecutable.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

namespace kivora {

namespace {

static_assert(sizeof(Elf64_Ehdr) <= elfHeaderSize && sizeof(Elf32_Ehdr) <= elfHeaderSize);

// The running program's ELF header; empty when its file cannot be read.
const std::string &ownHeader()
{
    static const std::string header = [] {
        std::string bytes(elfHeaderSize, '\0');
        const int fd = ::open("/proc/self/exe", O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return std::string();
        const ssize_t count = ::pread(fd, bytes.data(), bytes.size(), 0);
        ::close(fd);
        bytes.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        return bytes;
    }();
    return header;
}

// A half-word of the header, in this machine's byte order (the file's, once that is known to match).
std::uint16_t halfWord(std::string_view header, std::size_t offset)
{
    std::uint16_t value = 0;
    std::memcpy(&value, header.data() + offset, sizeof value);
    return value;
}

} // namespace

std::optional<std::string> nativeExecutableMismatch(std::string_view head)
{
    const std::string &own = ownHeader();
    if (own.size() < elfHeaderSize)
        return "the running program's own file cannot be read to compare with";
    if (head.empty())
        return "the file is empty";
    if (head.size() < SELFMAG || std::memcmp(head.data(), ELFMAG, SELFMAG) != 0)
        return "the file is not an ELF program";
    if (head.size() <= EI_DATA || head[EI_CLASS] != own[EI_CLASS] || head[EI_DATA] != own[EI_DATA])
        return "the program is built for another word size or byte order";
    const std::size_t headerSize = head[EI_CLASS] == ELFCLASS64 ? sizeof(Elf64_Ehdr) : sizeof(Elf32_Ehdr);
    if (head.size() < headerSize)
        return "the file ends inside its ELF header";
    const std::uint16_t type = halfWord(head, offsetof(Elf64_Ehdr, e_type));
    if (type != ET_EXEC && type != ET_DYN)
        return "the ELF file is not a program";
    const std::uint16_t machine = halfWord(head, offsetof(Elf64_Ehdr, e_machine));
    if (machine != halfWord(own, offsetof(Elf64_Ehdr, e_machine)))
        return "the program is built for another machine (ELF machine " + std::to_string(machine) + ")";
    return std::nullopt;
}

} // namespace kivora
