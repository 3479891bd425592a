#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kivora::test {

// A fresh folder under the temporary directory, removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// "folder/title.swf" of every title of a category, in catalog order; every category's
// when `folder` is empty.
std::vector<std::string> titleNames(std::string_view folder = {});

// The bytes a served title holds: its own name, repeated up to `size` bytes (at least once),
// so a file in the wrong place or cut short shows.
std::string titleBytes(const std::string &name, std::size_t size);

// Writes each title under `root` with titleBytes().
void writeTitles(const std::filesystem::path &root, const std::vector<std::string> &names, std::size_t size);

// The names in `folder` (one level), sorted.
std::vector<std::string> entriesOf(const std::filesystem::path &folder);

} // namespace kivora::test
