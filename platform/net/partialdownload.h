#pragma once

#include "platform/net/resumerecord.h"
#include "platform/net/stagingarea.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kivora {

class ResponseHeaders;
class StagedFile;

// One download's hold on the staging entry of its address: the bytes an earlier try
// received, and whether the server's answer lets this try append to them. The entry is
// locked while held; a second download of the same address does not get it. Nothing is
// made in the staging area before an answer with a validator arrives, and an entry is kept
// only within the area's cap (StagingLimits): the oldest others make room for a new one.
class PartialDownload
{
public:
    enum class Use {
        Append,    // the answer is the rest of the held bytes
        FromStart, // the answer is the whole resource and can be continued later
        NotKept,   // the answer cannot be continued later: the entry is gone
        Mismatch,  // the answer does not fit the held bytes: the entry is gone
    };

    // `address` as sent on the wire; `destination` is where the finished file goes.
    PartialDownload(const std::string &area, const std::string &address, const std::string &destination);
    ~PartialDownload();
    PartialDownload(const PartialDownload &) = delete;
    PartialDownload &operator=(const PartialDownload &) = delete;

    bool held() const;
    // The first byte to ask for with a range request, validated by validator(); 0 when
    // the whole resource is to be asked for.
    std::uint64_t resumeOffset() const { return m_offset; }
    const std::string &validator() const;

    // Decides from the final answer's head; `announced` is its Content-Length, 0 when unknown.
    Use accept(long status, const ResponseHeaders &headers, std::uint64_t announced);
    // The size of the whole resource once accept() chose Append or FromStart; 0 when unknown.
    std::uint64_t expectedSize() const { return m_record ? m_record->size : 0; }
    // Precondition: held().
    StagedFile &file() { return *m_file; }

    // Moves the finished body to the destination and forgets the entry.
    bool commit();
    void discard();
    // The errno of the held file's last failure.
    int error() const;

private:
    bool take();

    std::string m_area;
    std::string m_destination;
    std::optional<StagingEntry> m_entry;
    std::unique_ptr<StagedFile> m_file;
    std::optional<ResumeRecord> m_record;
    std::string m_address;
    std::uint64_t m_offset = 0;
};

} // namespace kivora
