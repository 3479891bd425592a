#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivora {

// What is known of the resource whose first bytes wait in a staging entry: enough to ask
// for the rest and to tell whether the server still has the same resource.
struct ResumeRecord
{
    std::string url;       // the address as sent on the wire
    std::string validator; // strong ETag, or else Last-Modified, exactly as the server sent it
    std::uint64_t size = 0; // the whole resource; 0 when the server did not say
};

// One "name value" line each; values never hold a line break.
std::string formatResumeRecord(const ResumeRecord &record);
// None for a text that is not a complete record.
std::optional<ResumeRecord> parseResumeRecord(std::string_view text);

std::optional<ResumeRecord> readResumeRecord(const std::string &path);
// Replaces the record at `path` whole, or leaves it as it was.
bool writeResumeRecord(const std::string &path, const ResumeRecord &record);

} // namespace kivora
