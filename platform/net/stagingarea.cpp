#include "platform/net/stagingarea.h"

#include "platform/core/sha256.h"
#include "platform/text/asciitext.h"

#include <cerrno>
#include <new>

#include <sys/stat.h>

namespace kivora {

namespace {

std::optional<std::string> sha256Hex(std::string_view text)
{
    try {
        Sha256 digest;
        digest.update(text);
        return Sha256::toHex(digest.finish());
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
}

std::string folderOf(const std::string &path)
{
    return splitPath(path).folder;
}

} // namespace

std::string stagingAreaOf(const std::string &programDirectory)
{
    return programDirectory + stagingFolderName + "/";
}

std::optional<StagingEntry> stagingEntryFor(const std::string &area, std::string_view address)
{
    const std::optional<std::string> key = sha256Hex(address);
    if (!key || area.empty())
        return std::nullopt;
    std::string base = area;
    if (base.back() != '/')
        base += '/';
    base += *key;
    return StagingEntry{base + stagingBodySuffix, base + stagingRecordSuffix};
}

bool prepareStagingArea(const std::string &area, const std::string &destination)
{
    if (area.empty() || (::mkdir(area.c_str(), 0777) != 0 && errno != EEXIST))
        return false;
    struct stat areaInfo{};
    struct stat destinationInfo{};
    return ::stat(area.c_str(), &areaInfo) == 0 && S_ISDIR(areaInfo.st_mode)
        && ::stat(folderOf(destination).c_str(), &destinationInfo) == 0 && areaInfo.st_dev == destinationInfo.st_dev;
}

} // namespace kivora
