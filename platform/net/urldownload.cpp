#include "platform/net/urldownload.h"

#include "platform/net/partialdownload.h"
#include "platform/core/programdirectory.h"
#include "platform/net/progressreporter.h"
#include "platform/net/responseheaders.h"
#include "platform/core/stagedfile.h"
#include "platform/net/stagingarea.h"
#include "platform/net/urldownloaderrors.h"
#include "platform/net/urldownloadoptions.h"
#include "platform/net/transportsecurity.h"
#include "platform/net/urlencoding.h"

#include "platform/net/curlsupport.h"
#include "platform/core/diagnostics.h"

#include <curl/curl.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <new>
#include <optional>
#include <string>

namespace kivora {

namespace {

struct Transfer
{
    CURL *curl = nullptr;
    StagedFile *fallback = nullptr;
    PartialDownload *partial = nullptr;
    ProgressReporter *progress = nullptr;
    ResponseHeaders headers;
    bool rangeAsked = false;
    // Set by the first byte of the final answer (or its end, when it has none).
    bool decided = false;
    StagedFile *file = nullptr;
    std::uint64_t held = 0;  // bytes an earlier try received that this answer continues
    std::uint64_t total = 0; // the whole resource; 0 while unknown
    std::uint64_t bytes = 0; // bytes of this answer
    std::uint64_t sizeLimit = 0;
    bool mismatch = false;
    bool tooLarge = false;
    bool writeFailed = false;
    std::chrono::milliseconds stallTimeout{0};
    std::chrono::steady_clock::time_point lastArrival;
    curl_off_t lastCount = 0;
    bool stalled = false;
};

// Chooses where the answer's bytes go. False when they fit nothing.
bool decide(Transfer &transfer)
{
    transfer.decided = true;
    long status = 0;
    curlApi()->easy_getinfo(transfer.curl, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t announced = -1;
    curlApi()->easy_getinfo(transfer.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    const std::uint64_t length = announced > 0 ? static_cast<std::uint64_t>(announced) : 0;
    if (status == 206 && !transfer.rangeAsked) {
        transfer.mismatch = true;
        return false;
    }
    // Refused before anything is staged for it.
    if (status != 206 && length > transfer.sizeLimit) {
        transfer.tooLarge = true;
        return false;
    }
    switch (transfer.partial->accept(status, transfer.headers, length)) {
    case PartialDownload::Use::Append:
        transfer.file = &transfer.partial->file();
        transfer.held = transfer.file->size();
        transfer.total = transfer.partial->expectedSize();
        break;
    case PartialDownload::Use::FromStart:
        transfer.file = &transfer.partial->file();
        transfer.total = length;
        break;
    case PartialDownload::Use::NotKept:
        transfer.file = transfer.fallback;
        transfer.total = length;
        break;
    case PartialDownload::Use::Mismatch:
        transfer.mismatch = true;
        return false;
    }
    transfer.tooLarge = transfer.total > transfer.sizeLimit;
    return !transfer.tooLarge;
}

// Runs on the calling thread, inside curl_easy_perform, once per header line.
std::size_t onHeader(char *data, std::size_t size, std::size_t count, void *context)
{
    auto *transfer = static_cast<Transfer *>(context);
    const std::size_t length = size * count;
    transfer->headers.addLine(std::string_view(data, length));
    return length;
}

// Runs on the calling thread, inside curl_easy_perform.
std::size_t onData(char *data, std::size_t size, std::size_t count, void *context)
{
    auto *transfer = static_cast<Transfer *>(context);
    const std::size_t length = size * count;
    if (!transfer->decided && !decide(*transfer))
        return 0;
    // An answer without a length (or lying about it) is cut off at the limit as it arrives.
    if (transfer->held + transfer->bytes + length > transfer->sizeLimit) {
        transfer->tooLarge = true;
        return 0;
    }
    if (!transfer->file->write(data, length)) {
        transfer->writeFailed = true;
        return 0;
    }
    transfer->bytes += length;
    transfer->progress->received(transfer->held + transfer->bytes, transfer->total);
    return length;
}

// Called by curl at least about once a second, also while nothing arrives. curl's own
// low-speed limit averages over several seconds, which would let a burst followed by
// silence hold the transfer far longer than the stall time-out.
int onTick(void *context, curl_off_t, curl_off_t received, curl_off_t, curl_off_t)
{
    auto *transfer = static_cast<Transfer *>(context);
    const auto now = std::chrono::steady_clock::now();
    if (received != transfer->lastCount) {
        transfer->lastCount = received;
        transfer->lastArrival = now;
        return 0;
    }
    if (now - transfer->lastArrival < transfer->stallTimeout)
        return 0;
    transfer->stalled = true;
    return 1;
}

HRESULT failureOf(CURLcode code)
{
    switch (code) {
    case CURLE_URL_MALFORMAT:
        return INET_E_INVALID_URL;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
        return INET_E_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT:
        return INET_E_CONNECTION_TIMEOUT;
    case CURLE_HTTP_RETURNED_ERROR:
        return INET_E_RESOURCE_NOT_FOUND;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE:
        return INET_E_SECURITY_PROBLEM;
    // The first address is checked to be http or https, so only a redirection can lead elsewhere.
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_TOO_MANY_REDIRECTS:
        return INET_E_REDIRECT_FAILED;
    case CURLE_WRITE_ERROR:
        return STG_E_WRITEFAULT;
    case CURLE_OUT_OF_MEMORY:
        return E_OUTOFMEMORY;
    default:
        return INET_E_DOWNLOAD_FAILURE;
    }
}

void setRequestOptions(CURL *curl, Transfer &transfer, const std::string &address, const UrlDownloadOptions &options)
{
    const CurlApi &api = *curlApi();
    api.easy_setopt(curl, CURLOPT_URL, address.c_str());
    if (CURLSH *share = sharedNameLookups())
        api.easy_setopt(curl, CURLOPT_SHARE, share);
    restrictToScheme(curl, address);
    api.easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    api.easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    api.easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    api.easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    api.easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    api.easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    api.easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onTick);
    api.easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    api.easy_setopt(curl, CURLOPT_BUFFERSIZE, 128L * 1024L);
    api.easy_setopt(curl, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
    api.easy_setopt(curl, CURLOPT_USERAGENT, "Kivora/1.0");
    api.easy_setopt(curl, CURLOPT_HEADERFUNCTION, &onHeader);
    api.easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    api.easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onData);
    api.easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
}

// Bytes kept after a write failed for lack of space would only keep the disk full.
bool outOfSpace(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

// How a request ended, as curl and the server told it.
struct Answer
{
    CURLcode code = CURLE_OK;
    long status = 0;
    curl_off_t announced = -1; // the body's length as announced; -1 when not
};

// Asks for the resource (only for what follows the kept bytes, when there are some) and
// carries the answer into the transfer's file. Nothing when the request cannot be made for
// lack of memory.
std::optional<Answer> request(CurlEasyHandle &easy, Transfer &transfer, const std::string &address,
                              const UrlDownloadOptions &options)
{
    const CurlApi &api = *curlApi();
    const PartialDownload &partial = *transfer.partial;
    if (partial.resumeOffset() > 0) {
        const std::string lines[] = {"Range: bytes=" + std::to_string(partial.resumeOffset()) + "-",
                                     "If-Range: " + partial.validator()};
        for (const std::string &line : lines) {
            curl_slist *appended = api.slist_append(easy.headers, line.c_str());
            if (!appended)
                return std::nullopt;
            easy.headers = appended;
        }
        transfer.rangeAsked = true;
        api.easy_setopt(easy.handle, CURLOPT_HTTPHEADER, easy.headers);
    }
    setRequestOptions(easy.handle, transfer, address, options);

    Answer answer;
    answer.code = api.easy_perform(easy.handle);
    api.easy_getinfo(easy.handle, CURLINFO_RESPONSE_CODE, &answer.status);
    // An empty body calls no write function.
    if (answer.code == CURLE_OK && !transfer.decided && !decide(transfer))
        answer.code = CURLE_WRITE_ERROR;
    api.easy_getinfo(easy.handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &answer.announced);
    return answer;
}

// What an answer means for the download.
struct Verdict
{
    enum class Kind {
        Retry,      // the answer does not fit the kept bytes: ask again for the whole resource
        Failed,     // the transfer broke off
        Refused,    // the server answered with a status that is not success
        Incomplete, // fewer bytes than the resource has
        Whole,
    };
    Kind kind;
    HRESULT result = S_OK; // the download's result, unless saving a whole answer fails
    bool dropKept = false; // the kept bytes go: they do not fit, are too many, or fill the disk
    int writeError = 0;    // errno of the failed write, if one failed
};

Verdict classify(const Transfer &transfer, const Answer &answer)
{
    if (transfer.rangeAsked
        && (transfer.mismatch || (answer.code == CURLE_HTTP_RETURNED_ERROR && answer.status == 416)))
        return {.kind = Verdict::Kind::Retry, .result = INET_E_DOWNLOAD_FAILURE, .dropKept = true};
    Verdict verdict{.kind = Verdict::Kind::Failed};
    verdict.writeError = transfer.writeFailed ? transfer.file->error() : 0;
    verdict.dropKept = transfer.tooLarge || outOfSpace(verdict.writeError);
    if (answer.code != CURLE_OK) {
        if (transfer.tooLarge)
            verdict.result = E_FILE_TOO_LARGE;
        else if (transfer.writeFailed)
            verdict.result = STG_E_WRITEFAULT;
        else if (transfer.mismatch)
            verdict.result = INET_E_DOWNLOAD_FAILURE;
        else
            verdict.result = transfer.stalled ? INET_E_CONNECTION_TIMEOUT : failureOf(answer.code);
        return verdict;
    }
    if (answer.status < 200 || answer.status > 299) {
        verdict.kind = Verdict::Kind::Refused;
        verdict.result = INET_E_RESOURCE_NOT_FOUND;
        return verdict;
    }
    // An answer can be whole by its own framing and still leave a continued file short of
    // the resource; its bytes stay for the next try.
    const std::uint64_t stored = transfer.held + transfer.bytes;
    const bool whole = (answer.announced < 0 || static_cast<std::uint64_t>(answer.announced) == transfer.bytes)
        && ((transfer.held == 0 && transfer.total == 0) || stored == transfer.total);
    verdict.kind = whole ? Verdict::Kind::Whole : Verdict::Kind::Incomplete;
    verdict.result = whole ? S_OK : INET_E_DOWNLOAD_FAILURE;
    return verdict;
}

void logFailure(const Verdict &verdict, const Transfer &transfer, const Answer &answer, const std::string &address)
{
    switch (verdict.kind) {
    case Verdict::Kind::Retry:
        qCDebug(transferLog).nospace() << "download of " << address.c_str() << ": the kept bytes do not fit status "
                                       << answer.status << ", asking for the whole resource";
        break;
    case Verdict::Kind::Failed:
        qCDebug(transferLog).nospace() << "download of " << address.c_str() << " failed: libcurl error " << answer.code
                                       << " (" << curlApi()->easy_strerror(answer.code) << "), status " << answer.status
                                       << (transfer.stalled ? ", stalled" : "")
                                       << (transfer.writeFailed ? ", writing the file failed: " : "")
                                       << (transfer.writeFailed ? std::strerror(verdict.writeError) : "")
                                       << (transfer.tooLarge ? ", larger than a title may be" : "")
                                       << (transfer.mismatch ? ", an unasked partial answer" : "");
        break;
    case Verdict::Kind::Refused:
        qCDebug(transferLog).nospace() << "download of " << address.c_str() << " failed: status " << answer.status;
        break;
    case Verdict::Kind::Incomplete:
        qCDebug(transferLog).nospace() << "download of " << address.c_str() << " failed: "
                                       << transfer.held + transfer.bytes << " of " << transfer.total
                                       << " bytes arrived";
        break;
    case Verdict::Kind::Whole:
        break;
    }
}

// Moves the staged bytes of a whole answer to the destination.
HRESULT moveIntoPlace(const Transfer &transfer, const std::string &address, const std::string &destination)
{
    const bool fromFallback = transfer.file == transfer.fallback;
    if (!(fromFallback ? transfer.fallback->commit() : transfer.partial->commit())) {
        const int error = fromFallback ? transfer.fallback->error() : transfer.partial->error();
        qCDebug(transferLog).nospace() << "download of " << address.c_str() << " failed: saving " << destination.c_str()
                                       << " failed: " << std::strerror(error);
        if (outOfSpace(error))
            transfer.partial->discard();
        return STG_E_WRITEFAULT;
    }
    transfer.progress->finished(transfer.held + transfer.bytes);
    return S_OK;
}

// Says what the answer came to, drops the kept bytes when they are of no more use, and puts
// a whole answer in place. Answers the download's result.
HRESULT commit(const Verdict &verdict, const Transfer &transfer, const Answer &answer, const std::string &address,
               const std::string &destination)
{
    logFailure(verdict, transfer, answer, address);
    if (verdict.dropKept)
        transfer.partial->discard();
    return verdict.kind == Verdict::Kind::Whole ? moveIntoPlace(transfer, address, destination) : verdict.result;
}

enum class Outcome { Done, TryAgain };

// One request. TryAgain when the answer did not fit the bytes kept from an earlier try,
// which are gone by then, so that the next request asks for the whole resource.
Outcome attempt(const std::string &address, const std::string &destination, ProgressReporter &progress,
                const UrlDownloadOptions &options, HRESULT &result)
{
    result = STG_E_WRITEFAULT;
    // The staging file comes first: a destination that cannot be written costs no request.
    StagedFile fallback(destination, options.unnamedStagingFile);
    if (!fallback.isOpen()) {
        qCDebug(transferLog).nospace() << "download of " << address.c_str() << " failed: staging " << destination.c_str()
                                       << " failed: " << std::strerror(fallback.error());
        return Outcome::Done;
    }
    const std::string area = options.stagingArea.empty() ? stagingAreaOf(programDirectory()) : options.stagingArea;
    PartialDownload partial(area, address, destination);

    std::optional<CurlEasyHandle> own;
    CurlEasyHandle &easy = options.handle ? *options.handle : own.emplace();
    easy.reset();
    result = E_OUTOFMEMORY;
    if (!easy.handle)
        return Outcome::Done;
    Transfer transfer;
    transfer.curl = easy.handle;
    transfer.fallback = &fallback;
    transfer.partial = &partial;
    transfer.progress = &progress;
    transfer.sizeLimit = options.sizeLimit;
    transfer.stallTimeout = options.stallTimeout;
    transfer.lastArrival = std::chrono::steady_clock::now();
    const std::optional<Answer> answer = request(easy, transfer, address, options);
    if (!answer)
        return Outcome::Done;
    const Verdict verdict = classify(transfer, *answer);
    result = commit(verdict, transfer, *answer, address, destination);
    return verdict.kind == Verdict::Kind::Retry ? Outcome::TryAgain : Outcome::Done;
}

HRESULT download(std::u16string_view url, std::u16string_view path, IBindStatusCallback *sink,
                 const UrlDownloadOptions &options)
{
    ProgressReporter progress(sink);
    const std::u16string statusText(url);
    progress.started(statusText.c_str());

    const std::optional<std::string> address = wireAddress(url);
    if (!address)
        return INET_E_INVALID_URL;
    const std::optional<std::string> destination = utf16ToUtf8(path);
    if (!destination || destination->empty() || destination->find('\0') != std::string::npos)
        return STG_E_WRITEFAULT;
    if (!curlReady())
        return E_FAIL;

    HRESULT result = E_FAIL;
    if (attempt(*address, *destination, progress, options, result) == Outcome::TryAgain)
        attempt(*address, *destination, progress, options, result);
    return result;
}

} // namespace

std::uint64_t titleSizeLimit()
{
    return KIVORA_TITLE_SIZE_LIMIT;
}

HRESULT URLDownloadToFile(std::u16string_view url, std::u16string_view path, IBindStatusCallback *sink,
                          const UrlDownloadOptions &options)
{
    try {
        return download(url, path, sink, options);
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    }
}

HRESULT URLDownloadToFile(void * /*caller*/, std::u16string_view url, std::u16string_view path,
                          std::uint32_t /*reserved*/, IBindStatusCallback *sink)
{
    return URLDownloadToFile(url, path, sink, UrlDownloadOptions{});
}

} // namespace kivora
