#include "transfer/Utushuthread2.h"

#include "platform/net/urldownload.h"

#include <thread>

namespace kivora {

void tushuthread2::start(std::u16string SourceFile, std::u16string DestFile,
                         std::shared_ptr<IBindStatusCallback> sink)
{
    std::unique_ptr<tushuthread2> job(new tushuthread2(std::move(SourceFile), std::move(DestFile), std::move(sink)));
    // The thread owns the job from here on and frees it when Execute returns.
    std::thread([job = std::move(job)] { job->Execute(); }).detach();
}

tushuthread2::tushuthread2(std::u16string SourceFile, std::u16string DestFile,
                           std::shared_ptr<IBindStatusCallback> sink)
    : SourceFile(std::move(SourceFile))
    , DestFile(std::move(DestFile))
    , m_sink(std::move(sink))
{
}

void tushuthread2::Execute()
{
    DownloadFile(SourceFile, DestFile);
}

bool tushuthread2::DownloadFile(const std::u16string &SourceFile, const std::u16string &DestFile)
{
    try {
        return URLDownloadToFile(nullptr, SourceFile, DestFile, 0, m_sink.get()) == S_OK;
    } catch (...) {
        return false;
    }
}

} // namespace kivora
