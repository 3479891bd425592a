#pragma once

#include <string>
#include <string_view>

namespace kivora {

// Version files are 8-bit text in the locale's encoding and are handled as bytes: two
// lines are equal only when they hold the same bytes (no trimming, no case folding, a
// byte-order mark is part of the line).

// The bytes before the first CR or LF; all of `text` when it has no line break.
std::string_view firstLine(std::string_view text);

// The whole content of a file. Throws std::runtime_error, with the system's reason, when
// the file cannot be opened or read.
std::string readTextFile(const std::string &path);

// firstLine of the file at `path`; throws as readTextFile.
std::string readVersionLine(const std::string &path);

// Makes `path` hold exactly `content`: written beside it, flushed, then renamed over it,
// so the file is never seen half written. Throws std::runtime_error on failure.
void replaceFileContent(const std::string &path, std::string_view content);

// Rewrites the local version record with `line` followed by CR LF, and nothing else.
void writeVersionRecord(const std::string &path, std::string_view line);

} // namespace kivora
