#include "update/versionline.h"

#include "platform/core/stagedfile.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace kivora {

namespace {

[[noreturn]] void fail(const char *what, const std::string &path, int error)
{
    throw std::runtime_error(std::string(what) + " \"" + path + "\". " + std::strerror(error));
}

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    // Closes now, so that a failing close can be reported.
    int close()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

private:
    int m_fd;
};


} // namespace

std::string_view firstLine(std::string_view text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

std::string readTextFile(const std::string &path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        fail("Cannot open file", path, errno);
    std::string content;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot read file", path, errno);
        }
        if (count == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(count));
    }
}

std::string readVersionLine(const std::string &path)
{
    return std::string(firstLine(readTextFile(path)));
}

void replaceFileContent(const std::string &path, std::string_view content)
{
    StagedFile file(path);
    if (!file.isOpen())
        fail("Cannot create file", path, file.error());
    if (!file.write(content))
        fail("Cannot write file", path, file.error());
    if (!file.commit())
        fail("Cannot replace file", path, file.error());
}

void writeVersionRecord(const std::string &path, std::string_view line)
{
    std::string content(line);
    content += "\r\n";
    replaceFileContent(path, content);
}

} // namespace kivora
