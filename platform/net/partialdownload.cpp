#include "platform/net/partialdownload.h"

#include "platform/net/responseheaders.h"
#include "platform/core/stagedfile.h"
#include "platform/net/stagingcleanup.h"

#include <sys/stat.h>
#include <unistd.h>

namespace kivora {

PartialDownload::PartialDownload(const std::string &area, const std::string &address, const std::string &destination)
    : m_area(area)
    , m_destination(destination)
    , m_entry(stagingEntryFor(area, address))
    , m_address(address)
{
    struct stat info{};
    if (!m_entry || ::lstat(m_entry->body.c_str(), &info) != 0 || !take())
        return;
    m_record = readResumeRecord(m_entry->record);
    const std::uint64_t held = m_file->size();
    // A complete body that was never moved into place is asked for again rather than
    // trusted: the resource may have changed since.
    if (m_record && m_record->url == address && held > 0 && (m_record->size == 0 || held < m_record->size)) {
        m_offset = held;
        return;
    }
    // Bytes that no record describes are worth nothing.
    m_record.reset();
    m_file->restart();
}

bool PartialDownload::take()
{
    if (!m_entry || !prepareStagingArea(m_area, m_destination))
        return false;
    m_file = std::make_unique<StagedFile>(m_destination, StagedFile::Continuing{m_entry->body});
    if (!m_file->isOpen())
        m_file.reset();
    return held();
}

PartialDownload::~PartialDownload()
{
    // Nothing worth keeping, or more than the staging area may hold.
    if (held() && (m_file->size() == 0 || m_file->size() > StagingLimits{}.maxBytes))
        discard();
}

bool PartialDownload::held() const
{
    return m_file && m_file->isOpen();
}

const std::string &PartialDownload::validator() const
{
    static const std::string none;
    return m_record ? m_record->validator : none;
}

PartialDownload::Use PartialDownload::accept(long status, const ResponseHeaders &headers, std::uint64_t announced)
{
    if (status == 206) {
        const std::optional<ContentRange> range = parseContentRange(headers.contentRange());
        // Only the rest of the very bytes held, of a resource whose length is known: without
        // it, an answer that ends early cannot be told from the end of the resource.
        const bool fits = m_offset > 0 && range && range->first == m_offset && !headers.contradicts(m_record->validator)
            && (range->total || m_record->size != 0)
            && (!range->total || m_record->size == 0 || *range->total == m_record->size);
        if (!fits) {
            discard();
            return Use::Mismatch;
        }
        if (m_record->size == 0) {
            // Kept for the next try, which the answer may still leave short of the end.
            m_record->size = *range->total;
            writeResumeRecord(m_entry->record, *m_record);
        }
        return Use::Append;
    }
    const std::string validator = headers.validator();
    const StagingLimits limits;
    if (validator.empty() || announced > limits.maxBytes) {
        discard();
        return Use::NotKept;
    }
    // Room for this body within the area's cap, as far as the other entries can give it.
    pruneStagingArea(m_area, StagingLimits{limits.maxAge, limits.maxBytes - announced});
    if (!held() && !take()) {
        discard();
        return Use::NotKept;
    }
    // The held bytes go before the record changes: a record never describes bytes of
    // another version of the resource.
    m_offset = 0;
    m_record = ResumeRecord{m_address, validator, announced};
    if (!m_file->restart() || !writeResumeRecord(m_entry->record, *m_record)) {
        discard();
        return Use::NotKept;
    }
    return Use::FromStart;
}

bool PartialDownload::commit()
{
    if (!held() || !m_file->commit())
        return false;
    ::unlink(m_entry->record.c_str());
    m_file.reset();
    return true;
}

int PartialDownload::error() const
{
    return m_file ? m_file->error() : 0;
}

void PartialDownload::discard()
{
    if (!held())
        return;
    // The record goes first: a body without a record is never continued.
    ::unlink(m_entry->record.c_str());
    m_file->discard();
    m_file.reset();
    m_record.reset();
    m_offset = 0;
}

} // namespace kivora
