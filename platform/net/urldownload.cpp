#include "platform/net/urldownload.h"

#include "platform/net/progressreporter.h"
#include "platform/net/stagedfile.h"
#include "platform/net/urldownloaderrors.h"
#include "platform/net/urldownloadoptions.h"
#include "platform/net/urlencoding.h"

#include "platform/net/curlsupport.h"
#include "platform/net/diagnostics.h"

#include <curl/curl.h>

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
    StagedFile *file = nullptr;
    ProgressReporter *progress = nullptr;
    std::uint64_t bytes = 0;
    bool writeFailed = false;
    std::chrono::milliseconds stallTimeout{0};
    std::chrono::steady_clock::time_point lastArrival;
    curl_off_t lastCount = 0;
    bool stalled = false;
};

// Runs on the calling thread, inside curl_easy_perform.
std::size_t onData(char *data, std::size_t size, std::size_t count, void *context)
{
    auto *transfer = static_cast<Transfer *>(context);
    const std::size_t length = size * count;
    if (!transfer->file->write(data, length)) {
        transfer->writeFailed = true;
        return 0;
    }
    transfer->bytes += length;
    curl_off_t announced = -1;
    curl_easy_getinfo(transfer->curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    transfer->progress->received(transfer->bytes, announced > 0 ? static_cast<std::uint64_t>(announced) : 0);
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
    // The first address is checked to be http, so only a redirection can lead elsewhere.
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

    // The staging file comes first: a destination that cannot be written costs no request.
    StagedFile file(*destination, options.unnamedStagingFile);
    if (!file.isOpen()) {
        qCDebug(transferLog).nospace() << "download of " << address->c_str() << " failed: staging " << destination->c_str()
                                       << " failed: " << std::strerror(file.error());
        return STG_E_WRITEFAULT;
    }

    CurlEasyHandle easy;
    CURL *curl = easy.handle;
    if (!curl)
        return E_OUTOFMEMORY;
    Transfer transfer;
    transfer.curl = curl;
    transfer.file = &file;
    transfer.progress = &progress;
    transfer.stallTimeout = options.stallTimeout;
    transfer.lastArrival = std::chrono::steady_clock::now();

    curl_easy_setopt(curl, CURLOPT_URL, address->c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, options.maxRedirects);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &onTick);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_BUFFERSIZE, 128L * 1024L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Kivora/1.0");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &onData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);

    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code != CURLE_OK) {
        qCDebug(transferLog).nospace() << "download of " << address->c_str() << " failed: libcurl error " << code << " ("
                                       << curl_easy_strerror(code) << "), status " << status
                                       << (transfer.stalled ? ", stalled" : "")
                                       << (transfer.writeFailed ? ", writing the file failed" : "");
        if (transfer.writeFailed)
            return STG_E_WRITEFAULT;
        return transfer.stalled ? INET_E_CONNECTION_TIMEOUT : failureOf(code);
    }
    if (status < 200 || status > 299) {
        qCDebug(transferLog).nospace() << "download of " << address->c_str() << " failed: status " << status;
        return INET_E_RESOURCE_NOT_FOUND;
    }
    curl_off_t announced = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (announced >= 0 && static_cast<std::uint64_t>(announced) != transfer.bytes) {
        qCDebug(transferLog).nospace() << "download of " << address->c_str() << " failed: " << transfer.bytes << " of "
                                       << announced << " announced bytes arrived";
        return INET_E_DOWNLOAD_FAILURE;
    }

    if (!file.commit()) {
        qCDebug(transferLog).nospace() << "download of " << address->c_str() << " failed: saving " << destination->c_str()
                                       << " failed: " << std::strerror(file.error());
        return STG_E_WRITEFAULT;
    }
    progress.finished(transfer.bytes);
    return S_OK;
}

} // namespace

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
