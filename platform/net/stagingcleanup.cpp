#include "platform/net/stagingcleanup.h"

#include "platform/net/resumerecord.h"
#include "platform/core/stagedfile.h"
#include "platform/net/stagingarea.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivora {

namespace {

struct Entry
{
    std::string key;
    bool hasBody = false;
    bool hasRecord = false;
    std::uint64_t bytes = 0;
    std::time_t lastWritten = 0;
};

bool isKey(std::string_view text)
{
    return text.size() == 64
        && std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::map<std::string, Entry> entriesIn(const std::string &area)
{
    std::map<std::string, Entry> entries;
    DIR *dir = ::opendir(area.c_str());
    if (!dir)
        return entries;
    while (const dirent *item = ::readdir(dir)) {
        const std::string_view name = item->d_name;
        const bool body = name.ends_with(stagingBodySuffix);
        const bool record = name.ends_with(stagingRecordSuffix);
        if (!body && !record)
            continue;
        const std::string key(name.substr(0, name.size() - std::string_view(body ? stagingBodySuffix : stagingRecordSuffix).size()));
        struct stat info{};
        if (!isKey(key) || ::fstatat(::dirfd(dir), item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
            continue;
        Entry &entry = entries[key];
        entry.key = key;
        entry.lastWritten = std::max(entry.lastWritten, info.st_mtime);
        if (body) {
            entry.hasBody = true;
            entry.bytes = static_cast<std::uint64_t>(info.st_size);
        } else {
            entry.hasRecord = true;
        }
    }
    ::closedir(dir);
    return entries;
}

// False while a download holds the entry.
bool removeEntry(const std::string &area, const Entry &entry)
{
    const std::string body = area + entry.key + stagingBodySuffix;
    const std::string record = area + entry.key + stagingRecordSuffix;
    if (!entry.hasBody) {
        ::unlink(record.c_str());
        return true;
    }
    const int fd = StagedFile::openRegular(body, O_RDONLY);
    if (fd < 0)
        return true;
    bool removed = false;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        struct stat held{};
        struct stat named{};
        // The name may lead elsewhere by now: a download that finished renamed the file.
        if (::fstat(fd, &held) == 0 && ::stat(body.c_str(), &named) == 0 && held.st_ino == named.st_ino
            && held.st_dev == named.st_dev) {
            ::unlink(record.c_str());
            ::unlink(body.c_str());
        }
        removed = true;
    }
    ::close(fd);
    return removed;
}

bool canContinue(const std::string &area, const Entry &entry)
{
    return entry.hasBody && entry.hasRecord && readResumeRecord(area + entry.key + stagingRecordSuffix).has_value();
}

} // namespace

void pruneStagingArea(const std::string &area, const StagingLimits &limits)
{
    if (area.empty())
        return;
    const std::string folder = area.back() == '/' ? area : area + '/';
    StagedFile::sweepAbandoned(folder);
    const std::time_t now = std::time(nullptr);
    std::vector<Entry> kept;
    for (const auto &[key, entry] : entriesIn(folder)) {
        const bool tooOld = now - entry.lastWritten > static_cast<std::time_t>(limits.maxAge.count());
        if ((tooOld || !canContinue(folder, entry)) && removeEntry(folder, entry))
            continue;
        kept.push_back(entry);
    }
    std::sort(kept.begin(), kept.end(),
              [](const Entry &a, const Entry &b) { return a.lastWritten < b.lastWritten; });
    std::uint64_t total = 0;
    for (const Entry &entry : kept)
        total += entry.bytes;
    for (const Entry &entry : kept) {
        if (total <= limits.maxBytes)
            break;
        if (removeEntry(folder, entry))
            total -= entry.bytes;
    }
}

} // namespace kivora
