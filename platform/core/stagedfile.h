#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace kivora {

// The program's one way to write a file that must appear whole: downloads, the version
// record, the new executable. The file is written in the destination's folder and takes
// the destination's name only through commit(), atomically and complete. Until then it
// has no name, so a killed process leaves nothing behind; where the file system cannot
// make unnamed files, it has a staging name of this writer's own, which the object removes
// and which later writers sweep away once the process that made it is gone. Abandoning the
// object leaves the destination as it was.
//
// A writer can instead continue a partial file kept elsewhere on the destination's file
// system: it appends to that file, which outlives the object unless committed, so that a
// later writer goes on from where this one stopped.
class StagedFile
{
public:
    // Names the partial file to continue.
    struct Continuing
    {
        std::string partialPath;
    };

    // `path` is the destination, UTF-8. On failure isOpen() is false and error() says why.
    explicit StagedFile(const std::string &path, bool allowUnnamed = true);
    // Continues `partial.partialPath`, creating it when missing. The file is held under an
    // exclusive lock for the object's life: while another writer holds it, isOpen() is
    // false and error() is EWOULDBLOCK.
    StagedFile(const std::string &path, const Continuing &partial);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(const char *data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Flushes the data to disk and replaces the destination with it, executable by all
    // when asked. Once this answers true the object has nothing left to remove.
    bool commit(bool executable = false);
    // The errno of the last failure.
    int error() const { return m_error; }

    // Bytes written so far, including those a continued partial file held when opened.
    std::uint64_t size() const { return m_size; }
    // Drops every byte written so far.
    bool restart();
    // Removes a continued partial file while it is still held; the object is spent.
    void discard();

    // Opens `path` (with `flags`, `mode` for O_CREAT) only when it is a regular file, never
    // following a link nor waiting for a FIFO's other end: a file another program can put
    // in our place must not lead writes elsewhere or hold the thread for good. Whatever
    // else is found under the name is removed, or left when it cannot be. -1 and errno
    // when no regular file was opened (EISDIR for something else under the name).
    static int openRegular(const std::string &path, int flags, mode_t mode = 0);

    // Whether `name` is one of this writer's staging names: ".kivora-<pid>-<number>.part".
    static bool isStagingName(const std::string &name, long *pid);
    // Removes the staging files in `folder` whose process is gone.
    static void sweepAbandoned(const std::string &folder);

private:
    bool openDestinationFolder(const std::string &path, std::string &dir);
    bool openPartial(const std::string &partialPath);
    bool fail();
    bool openUnnamed();
    bool openNamed();
    bool linkUnnamed();
    std::string newStagingName() const;

    int m_dirFd = -1;
    int m_fd = -1;
    int m_error = 0;
    std::string m_name;        // destination's name inside the folder
    std::string m_stagingName; // set while a staging name exists
    std::string m_partialPath; // set while continuing a partial file
    std::uint64_t m_size = 0;
};

} // namespace kivora
