#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace kivora::test {

// A fresh folder under the system's temporary folder, removed with its contents at the end:
// a category folder for destinations and a staging area beside it.
class ScratchArea
{
public:
    ScratchArea();
    ~ScratchArea();
    ScratchArea(const ScratchArea &) = delete;
    ScratchArea &operator=(const ScratchArea &) = delete;

    const std::filesystem::path &root() const { return m_root; }
    std::filesystem::path destination() const { return m_root / "erge" / "title.swf"; }
    // With the trailing '/' the download options take.
    std::string stagingArea() const { return (m_root / ".kivora-staging").string() + "/"; }
    // Names in the staging area.
    std::set<std::string> stagedNames() const;

private:
    std::filesystem::path m_root;
};

} // namespace kivora::test
