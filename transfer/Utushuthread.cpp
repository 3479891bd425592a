#include "transfer/Utushuthread.h"

#include "transfer/filebodysink.h"
#include "platform/core/diagnostics.h"
#include "transfer/httpclient.h"
#include "transfer/nativeexecutable.h"
#include "transfer/progresspercent.h"
#include "platform/core/sha256.h"
#include "platform/core/stagedfile.h"
#include "platform/net/urlencoding.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace kivora {

namespace {

FetchError storageError(const std::string &what, const std::string &path, int error)
{
    return {FetchError::Kind::Storage, what + " " + path + ": " + std::strerror(error), 0};
}

} // namespace

tushuthread *tushuthread::create(std::u16string aurl, std::u16string asavepath, WindowHandle ahandle, FetchOptions options)
{
    auto *job = new tushuthread(std::move(aurl), std::move(asavepath), ahandle, std::move(options));
    try {
        std::thread([job] { job->Execute(); }).detach();
    } catch (...) {
        delete job;
        throw;
    }
    return job;
}

tushuthread::tushuthread(std::u16string aurl, std::u16string asavepath, WindowHandle ahandle, FetchOptions options)
    : fidhttp(std::make_unique<HttpClient>())
    , furl(std::move(aurl))
    , fsavepath(std::move(asavepath))
    , fhandle(ahandle)
    , m_options(std::move(options))
{
    fidhttp->setOnWorkBegin([this](HttpClient &sender, WorkMode mode, std::int64_t total) { doworkbegin(sender, mode, total); });
    fidhttp->setOnWork([this](HttpClient &sender, WorkMode mode, std::int64_t count) { dowork(sender, mode, count); });
    fidhttp->setConnectTimeout(m_options.connectTimeout);
    fidhttp->setReadTimeout(m_options.readTimeout);
}

tushuthread::~tushuthread() = default;

// Runs on the job's thread.
void tushuthread::Execute()
{
    bool saved = false;
    try {
        const std::optional<FetchError> error = doExecute();
        saved = !error.has_value();
        if (error)
            qCDebug(transferLog).nospace() << "fetch of " << QString::fromStdU16String(furl) << " failed: kind "
                                           << static_cast<int>(error->kind) << ", status " << error->status << ": "
                                           << error->message.c_str();
    } catch (...) {
        // Memory exhaustion and the like end the job like any other failure.
        qCDebug(transferLog) << "fetch of" << QString::fromStdU16String(furl) << "failed on an exception";
    }
    WindowMessages::post(fhandle, wm_downprogres, 0, saved ? kSaved : kFailed);
    delete this;
}

std::optional<FetchError> tushuthread::doExecute()
{
    Fmaxprogres = 0;
    const std::optional<std::string> url = utf16ToUtf8(furl);
    if (!url)
        return FetchError{FetchError::Kind::BadAddress, "the address is not valid UTF-16", 0};
    const std::optional<std::string> path = utf16ToUtf8(fsavepath);
    if (!path || path->empty())
        return FetchError{FetchError::Kind::Storage, "the save path is empty or not valid UTF-16", 0};
    std::optional<std::string> expected;
    if (m_options.expectedSha256) {
        expected = Sha256::normalizedHex(*m_options.expectedSha256);
        if (!expected)
            return FetchError{FetchError::Kind::Digest, "the expected digest is not 64 hex digits", 0};
    }

    StagedFile file(*path);
    if (!file.isOpen())
        return storageError("cannot create a file for", *path, file.error());
    Sha256 digest;
    FileBodySink sink(file, expected ? &digest : nullptr, m_options.maxBodyBytes);
    if (auto error = fidhttp->get(*url, sink))
        return error;
    if (expected && Sha256::toHex(digest.finish()) != *expected)
        return FetchError{FetchError::Kind::Digest, "the body does not have the expected SHA-256 digest", 0};
    if (m_options.executable) {
        if (std::optional<std::string> why = nativeExecutableMismatch(sink.head()))
            return FetchError{FetchError::Kind::NotAProgram, std::move(*why), 0};
    }
    if (!file.commit(m_options.executable))
        return storageError("cannot save", *path, file.error());
    return std::nullopt;
}

void tushuthread::doworkbegin([[maybe_unused]] HttpClient &Asender, [[maybe_unused]] WorkMode Aworkmode, std::int64_t Aworkcountmax)
{
    Fmaxprogres = Aworkcountmax;
}

void tushuthread::dowork(HttpClient &asenger, [[maybe_unused]] WorkMode Aworkmode, std::int64_t AWORKCOUNT)
{
    if (Fmaxprogres == 0)
        return;
    // The body of a failing response is not the file: it moves no gauge.
    if (asenger.responseCode() < 200 || asenger.responseCode() > 299)
        return;
    const std::int32_t Anowprogress = progressPercent(AWORKCOUNT, Fmaxprogres);
    // 100 is kept for the moment the file has been saved.
    WindowMessages::post(fhandle, wm_downprogres, 0, std::min<std::int32_t>(Anowprogress, 99));
}

} // namespace kivora
