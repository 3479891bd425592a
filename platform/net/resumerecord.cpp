#include "platform/net/resumerecord.h"

#include "platform/core/stagedfile.h"

#include <cerrno>
#include <charconv>

#include <fcntl.h>
#include <unistd.h>

namespace kivora {

namespace {

constexpr std::string_view urlKey = "url ";
constexpr std::string_view validatorKey = "validator ";
constexpr std::string_view sizeKey = "size ";
// A record is a few hundred bytes; anything far larger is not one of ours.
constexpr std::size_t largestRecord = 64 * 1024;

bool holdsLineBreak(std::string_view value)
{
    return value.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

std::string formatResumeRecord(const ResumeRecord &record)
{
    std::string text;
    text.append(urlKey).append(record.url).append("\n");
    text.append(validatorKey).append(record.validator).append("\n");
    text.append(sizeKey).append(std::to_string(record.size)).append("\n");
    return text;
}

std::optional<ResumeRecord> parseResumeRecord(std::string_view text)
{
    ResumeRecord record;
    bool hasUrl = false;
    bool hasValidator = false;
    bool hasSize = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt; // cut short while being written
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (line.starts_with(urlKey)) {
            record.url = line.substr(urlKey.size());
            hasUrl = true;
        } else if (line.starts_with(validatorKey)) {
            record.validator = line.substr(validatorKey.size());
            hasValidator = true;
        } else if (line.starts_with(sizeKey)) {
            const std::string_view digits = line.substr(sizeKey.size());
            const auto [rest, error] = std::from_chars(digits.data(), digits.data() + digits.size(), record.size);
            if (error != std::errc() || rest != digits.data() + digits.size() || digits.empty())
                return std::nullopt;
            hasSize = true;
        }
    }
    if (!hasUrl || !hasValidator || !hasSize || record.url.empty() || record.validator.empty()
        || holdsLineBreak(record.url) || holdsLineBreak(record.validator))
        return std::nullopt;
    return record;
}

std::optional<ResumeRecord> readResumeRecord(const std::string &path)
{
    const int fd = StagedFile::openRegular(path, O_RDONLY);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || text.size() + static_cast<std::size_t>(got) > largestRecord) {
            ::close(fd);
            return got == 0 ? parseResumeRecord(text) : std::nullopt;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

bool writeResumeRecord(const std::string &path, const ResumeRecord &record)
{
    if (holdsLineBreak(record.url) || holdsLineBreak(record.validator))
        return false;
    StagedFile file(path);
    return file.isOpen() && file.write(formatResumeRecord(record)) && file.commit();
}

} // namespace kivora
