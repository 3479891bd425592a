#include "platform/core/programdirectory.h"

#include <filesystem>
#include <mutex>

namespace kivora {

namespace {

std::mutex overrideMutex;
std::string overrideDirectory;

} // namespace

std::string executablePath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string programDirectory()
{
    {
        std::lock_guard lock(overrideMutex);
        if (!overrideDirectory.empty())
            return overrideDirectory;
    }
    std::string directory = std::filesystem::path(executablePath()).parent_path().string();
    if (directory.empty() || directory.back() != '/')
        directory += '/';
    return directory;
}

void setProgramDirectoryForTesting(const std::string &directory)
{
    std::lock_guard lock(overrideMutex);
    overrideDirectory = directory;
    if (!overrideDirectory.empty() && overrideDirectory.back() != '/')
        overrideDirectory += '/';
}

} // namespace kivora
