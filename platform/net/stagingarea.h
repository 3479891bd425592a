#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// The hidden folder of the program directory where downloads keep the bytes received so
// far between tries. Windows never look inside it.
inline constexpr char stagingFolderName[] = ".kivora-staging";

// `programDirectory` ends with '/'; so does the answer.
std::string stagingAreaOf(const std::string &programDirectory);

// The two files of one address in a staging area: the bytes received so far and what is
// known of the resource (see ResumeRecord).
struct StagingEntry
{
    std::string body;
    std::string record;
};

// Entry files end in these; the rest of the name is the SHA-256 of the address in hex.
inline constexpr char stagingBodySuffix[] = ".body";
inline constexpr char stagingRecordSuffix[] = ".record";

// The names of the entry of `address` in `area`; nothing is made. None only when no digest
// can be computed.
std::optional<StagingEntry> stagingEntryFor(const std::string &area, std::string_view address);

// Makes `area` when missing. False when it cannot be made, or when it lies on another file
// system than `destination`'s folder: a finished body moves to its destination by renaming.
bool prepareStagingArea(const std::string &area, const std::string &destination);

} // namespace kivora
