#pragma once

namespace kivora {

// Files of the self-update, relative to the program directory.

// The local version record: its first line is the version this installation accepted.
inline constexpr char versionRecordName[] = "update/Nupdate.txt";
// The copy of the update server's version file that each check downloads.
inline constexpr char versionFileCopyName[] = "update/update.txt";
// Written before a new executable is fetched and removed once the record matches the
// executable again; lets the next start finish an update that was cut short.
inline constexpr char pendingUpdateName[] = "update/Nupdate.pending";
// The executable an update replaces, whatever name the program was started under.
inline constexpr char executableName[] = "lumora";

} // namespace kivora
