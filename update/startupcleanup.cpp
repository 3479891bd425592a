#include "update/startupcleanup.h"

#include "update/pendingupdate.h"
#include "platform/core/stagedfile.h"
#include "platform/net/stagingarea.h"
#include "platform/net/stagingcleanup.h"
#include "update/updatefiles.h"

#include <filesystem>
#include <stdexcept>

#include <unistd.h>

namespace kivora {

namespace {

// ".lumora.<32 hex digits>.part": how earlier versions staged the new executable. Only an
// earlier version, gone once this one runs, ever wrote one.
bool isEarlierPartialExecutable(const std::string &name)
{
    const std::string prefix = std::string(".") + executableName + ".";
    const std::string suffix = ".part";
    if (name.size() != prefix.size() + 32 + suffix.size() || name.compare(0, prefix.size(), prefix) != 0
        || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + 32; ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

void removeAbandonedDownloads(const std::string &programDirectory)
{
    StagedFile::sweepAbandoned(programDirectory);
    namespace fs = std::filesystem;
    std::error_code error;
    for (auto it = fs::directory_iterator(programDirectory, error); !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isEarlierPartialExecutable(name) && it->is_regular_file(error))
            ::unlink(it->path().c_str());
    }
}

} // namespace

void removeLeftOverExecutable(const std::string &programDirectory)
{
    // unlink, not remove: a folder of that name is none of ours.
    ::unlink((programDirectory + previousExecutableName).c_str());
}

void startUpCleanUp(const std::string &programDirectory)
{
    try {
        settlePendingUpdate(programDirectory);
    } catch (const std::runtime_error &) {
        // The pending file stays; the next start tries again.
    }
    removeLeftOverExecutable(programDirectory);
    removeAbandonedDownloads(programDirectory);
    pruneStagingArea(stagingAreaOf(programDirectory));
}

} // namespace kivora
