#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace kivora::test {

// A fresh, private folder under $TMPDIR (the system's temporary folder when unset) for one
// test, removed with its contents when the object goes. Tests make temporary folders only
// through this, so none is left behind and none is shared between runs.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    // False when no folder could be made; path() is empty then.
    bool isValid() const { return !m_path.empty(); }
    const std::filesystem::path &path() const { return m_path; }

    // Names of everything in the folder, hidden entries included.
    std::set<std::string> entries() const;

private:
    std::filesystem::path m_path;
};

} // namespace kivora::test
