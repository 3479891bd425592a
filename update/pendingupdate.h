#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

namespace kivora {

// Which file a path names: device and inode. A file renamed over the path has another.
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

std::optional<FileIdentity> identityOf(const std::string &path);

// An update that has been started but whose version line is not yet in the record: the
// new line, and the executable that was in place when the fetch began.
struct PendingUpdate
{
    std::string line;
    std::optional<FileIdentity> replaces;
};

// Written atomically to the program directory's pending file. Throws std::runtime_error.
void writePendingUpdate(const std::string &programDirectory, const PendingUpdate &update);

// Nothing when there is no pending file or it cannot be understood.
std::optional<PendingUpdate> readPendingUpdate(const std::string &programDirectory);

void removePendingUpdate(const std::string &programDirectory);

// Brings the record in line with the executable: when the executable is no longer the one
// the pending update replaces, the new executable is in place and the record receives the
// pending line. The pending file is removed either way. Answers whether the executable
// was replaced. Throws std::runtime_error when the record cannot be written; the pending
// file then stays, so the next start tries again.
bool settlePendingUpdate(const std::string &programDirectory);

} // namespace kivora
