#include "platform/core/stagedfile.h"

#include "platform/text/asciitext.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivora {

namespace {

constexpr std::string_view stagingPrefix = ".kivora-";
constexpr std::string_view stagingSuffix = ".part";

std::atomic<unsigned long> g_stagingNumber{0};

} // namespace

StagedFile::StagedFile(const std::string &path, bool allowUnnamed)
{
    std::string folder;
    if (!openDestinationFolder(path, folder))
        return;
    sweepAbandoned(folder);
    if (allowUnnamed) {
        if (openUnnamed())
            return;
        // Only a file system without unnamed files gets the named fallback.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            fail();
            return;
        }
    }
    if (!openNamed())
        fail();
}

StagedFile::StagedFile(const std::string &path, const Continuing &partial)
{
    std::string folder;
    if (openDestinationFolder(path, folder) && !openPartial(partial.partialPath))
        fail();
}

bool StagedFile::openDestinationFolder(const std::string &path, std::string &dir)
{
    PathParts parts = splitPath(path);
    dir = std::move(parts.folder);
    m_name = std::move(parts.name);
    if (m_name.empty() || m_name == "." || m_name == "..") {
        m_error = EISDIR;
        return false;
    }
    m_dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_dirFd < 0)
        return fail();
    // A folder in the way would only be found at the rename, after the whole download.
    struct stat info{};
    if (::fstatat(m_dirFd, m_name.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode)) {
        m_error = EISDIR;
        return false;
    }
    return true;
}

// The lock belongs to the file, not to its name: between opening and locking, the holder
// may have renamed it into place or a clean-up may have removed it, so the name must still
// lead to the locked file afterwards.
bool StagedFile::openPartial(const std::string &partialPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = openRegular(partialPath, O_RDWR | O_CREAT, 0666);
        if (fd < 0)
            return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int reason = errno;
            ::close(fd);
            errno = reason;
            return false;
        }
        struct stat held{};
        struct stat named{};
        if (::fstat(fd, &held) == 0 && ::stat(partialPath.c_str(), &named) == 0 && held.st_dev == named.st_dev
            && held.st_ino == named.st_ino) {
            const off_t end = ::lseek(fd, 0, SEEK_END);
            if (end < 0) {
                const int reason = errno;
                ::close(fd);
                errno = reason;
                return false;
            }
            m_fd = fd;
            m_size = static_cast<std::uint64_t>(end);
            m_partialPath = partialPath;
            return true;
        }
        ::close(fd);
    }
    errno = EWOULDBLOCK;
    return false;
}

int StagedFile::openRegular(const std::string &path, int flags, mode_t mode)
{
    const int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd >= 0) {
        struct stat info{};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
            return fd;
        ::close(fd);
    }
    const int reason = errno;
    struct stat found{};
    if (::lstat(path.c_str(), &found) != 0 || S_ISREG(found.st_mode)) {
        errno = fd >= 0 ? EISDIR : reason;
        return -1;
    }
    // Unlinks what is not a folder; removes a folder only when empty.
    std::remove(path.c_str());
    errno = EISDIR;
    return -1;
}

StagedFile::~StagedFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_stagingName.empty())
        ::unlinkat(m_dirFd, m_stagingName.c_str(), 0);
    if (m_dirFd >= 0)
        ::close(m_dirFd);
}

bool StagedFile::fail()
{
    m_error = errno;
    return false;
}

// Mode 0666 less the umask, as for any file the user makes.
bool StagedFile::openUnnamed()
{
    m_fd = ::openat(m_dirFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    return m_fd >= 0;
}

bool StagedFile::openNamed()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = newStagingName();
        m_fd = ::openat(m_dirFd, name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_stagingName = std::move(name);
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

std::string StagedFile::newStagingName() const
{
    std::string name(stagingPrefix);
    name += std::to_string(::getpid());
    name += '-';
    name += std::to_string(g_stagingNumber.fetch_add(1));
    name += stagingSuffix;
    return name;
}

bool StagedFile::isStagingName(const std::string &name, long *pid)
{
    const std::string_view text = name;
    if (!text.starts_with(stagingPrefix) || !text.ends_with(stagingSuffix))
        return false;
    const std::string middle(text.substr(stagingPrefix.size(),
                                         text.size() - stagingPrefix.size() - stagingSuffix.size()));
    char *end = nullptr;
    const long value = std::strtol(middle.c_str(), &end, 10);
    if (end == middle.c_str() || *end != '-' || value <= 0)
        return false;
    if (pid)
        *pid = value;
    return true;
}

// A staging file whose process no longer exists can only stem from a process that was
// killed between creating and renaming it.
void StagedFile::sweepAbandoned(const std::string &folder)
{
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        long pid = 0;
        if (!isStagingName(entry->d_name, &pid) || pid == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(dir);
}

bool StagedFile::write(const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return fail();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        m_size += static_cast<std::size_t>(written);
    }
    return true;
}

bool StagedFile::restart()
{
    if (m_fd < 0)
        return false;
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        return fail();
    m_size = 0;
    return true;
}

void StagedFile::discard()
{
    if (m_fd < 0)
        return;
    if (!m_partialPath.empty())
        ::unlink(m_partialPath.c_str());
    m_partialPath.clear();
    ::close(m_fd);
    m_fd = -1;
}

bool StagedFile::linkUnnamed()
{
    const std::string procPath = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = newStagingName();
        // Record the name first: a failure after linking must still remove it.
        m_stagingName = name;
        if (::linkat(AT_FDCWD, procPath.c_str(), m_dirFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        m_stagingName.clear();
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool StagedFile::commit(bool executable)
{
    if (m_fd < 0)
        return false;
    if (executable) {
        struct stat info{};
        if (::fstat(m_fd, &info) != 0 || ::fchmod(m_fd, (info.st_mode & 07777) | 0755) != 0)
            return fail();
    }
    if (::fsync(m_fd) != 0)
        return fail();
    if (!m_partialPath.empty()) {
        // Still locked while it moves: no other writer can take it up half-way.
        if (::renameat(AT_FDCWD, m_partialPath.c_str(), m_dirFd, m_name.c_str()) != 0)
            return fail();
        m_partialPath.clear();
    } else {
        if (m_stagingName.empty() && !linkUnnamed())
            return fail();
        if (::renameat(m_dirFd, m_stagingName.c_str(), m_dirFd, m_name.c_str()) != 0)
            return fail();
        m_stagingName.clear();
    }
    // The new name is durable only once the folder is flushed too.
    ::fsync(m_dirFd);
    // The data is already on disk under its name: nothing after this point can fail it.
    ::close(m_fd);
    m_fd = -1;
    return true;
}

} // namespace kivora
