#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kivora {

// The program's one way to write a file that must appear whole: downloads, the version
// record, the new executable. The file is written in the destination's folder and takes
// the destination's name only through commit(), atomically and complete. Until then it
// has no name, so a killed process leaves nothing behind; where the file system cannot
// make unnamed files, it has a staging name of this writer's own, which the object removes
// and which later writers sweep away once the process that made it is gone. Abandoning the
// object leaves the destination as it was.
class StagedFile
{
public:
    // `path` is the destination, UTF-8. On failure isOpen() is false and error() says why.
    explicit StagedFile(const std::string &path, bool allowUnnamed = true);
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

    // Whether `name` is one of this writer's staging names: ".kivora-<pid>-<number>.part".
    static bool isStagingName(const std::string &name, long *pid);
    // Removes the staging files in `folder` whose process is gone.
    static void sweepAbandoned(const std::string &folder);

private:
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
};

} // namespace kivora
