#include "platform/net/stagingarea.h"

#include <openssl/evp.h>

#include <cerrno>

#include <sys/stat.h>

namespace kivora {

namespace {

std::optional<std::string> sha256Hex(std::string_view text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha256(), nullptr) != 1)
        return std::nullopt;
    constexpr char hex[] = "0123456789abcdef";
    std::string name;
    for (unsigned int i = 0; i < length; ++i) {
        name += hex[digest[i] >> 4];
        name += hex[digest[i] & 0xf];
    }
    return name;
}

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
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
