#pragma once

#include "tests/support/scratchfolder.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace kivora::test {

// A scratch folder laid out as a program directory: a category folder for destinations and a
// staging area beside it.
class ScratchArea
{
public:
    ScratchArea();
    ~ScratchArea();
    ScratchArea(const ScratchArea &) = delete;
    ScratchArea &operator=(const ScratchArea &) = delete;

    const std::filesystem::path &root() const { return m_folder.path(); }
    std::filesystem::path destination() const { return root() / "erge" / "title.swf"; }
    // With the trailing '/' the download options take.
    std::string stagingArea() const { return (root() / ".kivora-staging").string() + "/"; }
    // Names in the staging area.
    std::set<std::string> stagedNames() const;
    // Every path under the root with its size: what a download leaves on the disk.
    std::map<std::string, std::uintmax_t> contents() const;

private:
    ScratchFolder m_folder;
};

} // namespace kivora::test
