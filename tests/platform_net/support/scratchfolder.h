#pragma once

#include <filesystem>
#include <set>
#include <string>

#include <stdlib.h>

namespace kivora::test {

// A fresh folder for one test, removed with its contents afterwards.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kivora-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }

    // Names of everything in the folder, hidden entries included.
    std::set<std::string> entries() const
    {
        std::set<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(m_path))
            names.insert(entry.path().filename().string());
        return names;
    }

private:
    std::filesystem::path m_path;
};

} // namespace kivora::test
