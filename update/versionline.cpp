#include "versionline.h"

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

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

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
    const std::string staging = path + ".new";
    FileDescriptor file(::open(staging.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.get() < 0)
        fail("Cannot create file", staging, errno);
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t count = ::write(file.get(), content.data() + written, content.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            const int error = count < 0 ? errno : EIO;
            ::unlink(staging.c_str());
            fail("Cannot write file", staging, error);
        }
        written += static_cast<std::size_t>(count);
    }
    if (::fsync(file.get()) != 0 || file.close() != 0) {
        const int error = errno;
        ::unlink(staging.c_str());
        fail("Cannot write file", staging, error);
    }
    if (::rename(staging.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(staging.c_str());
        fail("Cannot replace file", path, error);
    }
    // Make the rename itself durable; the content is in place either way.
    FileDescriptor folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

void writeVersionRecord(const std::string &path, std::string_view line)
{
    std::string content(line);
    content += "\r\n";
    replaceFileContent(path, content);
}

} // namespace kivora
