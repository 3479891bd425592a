#include "update/pendingupdate.h"

#include "update/updatefiles.h"
#include "update/versionline.h"

#include <charconv>
#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace kivora {

namespace {

// The second line: "device:inode" of the replaced executable, or "none".
std::string identityText(const std::optional<FileIdentity> &identity)
{
    if (!identity)
        return "none";
    return std::to_string(identity->device) + ":" + std::to_string(identity->inode);
}

template<typename Number>
bool parseNumber(std::string_view text, Number &value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::optional<std::optional<FileIdentity>> parseIdentity(std::string_view text)
{
    if (text == "none")
        return std::optional<FileIdentity>();
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    FileIdentity identity;
    if (!parseNumber(text.substr(0, colon), identity.device) || !parseNumber(text.substr(colon + 1), identity.inode))
        return std::nullopt;
    return std::optional<FileIdentity>(identity);
}

std::string pendingPath(const std::string &programDirectory)
{
    return programDirectory + pendingUpdateName;
}

} // namespace

std::optional<FileIdentity> identityOf(const std::string &path)
{
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino};
}

void writePendingUpdate(const std::string &programDirectory, const PendingUpdate &update)
{
    replaceFileContent(pendingPath(programDirectory), update.line + "\r\n" + identityText(update.replaces) + "\r\n");
}

std::optional<PendingUpdate> readPendingUpdate(const std::string &programDirectory)
{
    std::string content;
    try {
        content = readTextFile(pendingPath(programDirectory));
    } catch (const std::runtime_error &) {
        return std::nullopt;
    }
    PendingUpdate update;
    update.line = std::string(firstLine(content));
    std::string_view rest = std::string_view(content).substr(update.line.size());
    if (rest.substr(0, 2) != "\r\n")
        return std::nullopt;
    rest.remove_prefix(2);
    const auto replaces = parseIdentity(firstLine(rest));
    if (!replaces)
        return std::nullopt;
    update.replaces = *replaces;
    return update;
}

void removePendingUpdate(const std::string &programDirectory)
{
    ::unlink(pendingPath(programDirectory).c_str());
}

bool settlePendingUpdate(const std::string &programDirectory)
{
    const std::optional<PendingUpdate> update = readPendingUpdate(programDirectory);
    if (!update) {
        removePendingUpdate(programDirectory);
        return false;
    }
    const std::optional<FileIdentity> current = identityOf(programDirectory + executableName);
    const bool replaced = current && current != update->replaces;
    if (replaced)
        writeVersionRecord(programDirectory + versionRecordName, update->line);
    removePendingUpdate(programDirectory);
    return replaced;
}

} // namespace kivora
