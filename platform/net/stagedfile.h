#pragma once

#include <cstddef>
#include <string>

namespace kivora {

// A file that is written in the destination's folder and takes the destination's name
// only through commit(), atomically and complete. Until then it has no name (or, where
// the file system cannot make unnamed files, a staging name that the object removes and
// that later instances sweep away once its process is gone). Abandoning the object, or
// killing the process, leaves the destination as it was.
class StagedFile
{
public:
    // `path` is the destination, UTF-8. On failure isOpen() is false.
    StagedFile(const std::string &path, bool allowUnnamed);
    ~StagedFile();
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(const char *data, std::size_t size);
    // Flushes the data to disk and replaces the destination with it. Once this answers
    // true the object has nothing left to remove.
    bool commit();

    // Name pattern of staging files: ".kivora-<pid>-<number>.part".
    static bool isStagingName(const std::string &name, long *pid);

private:
    bool openUnnamed();
    bool openNamed();
    bool linkUnnamed();
    void sweepAbandoned();
    std::string newStagingName() const;

    int m_dirFd = -1;
    int m_fd = -1;
    std::string m_name;        // destination's name inside the folder
    std::string m_stagingName; // set while a staging name exists
};

} // namespace kivora
