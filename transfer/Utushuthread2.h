#pragma once

#include <memory>
#include <string>

namespace kivora {

class IBindStatusCallback;

// The file transfer job: copies one web resource to one local file on a thread of its
// own, reporting progress to the sink it was given. It reports nothing else, cannot be
// cancelled, and releases itself (and its share of the sink) when the transfer ends.
class tushuthread2
{
public:
    // Creates the job from copies of the three values and starts it at once; returns
    // immediately and keeps no reference. Runs on the user-interface thread.
    // Throws std::system_error when no thread can be started.
    static void start(std::u16string SourceFile, std::u16string DestFile, std::shared_ptr<IBindStatusCallback> sink);

    tushuthread2(const tushuthread2 &) = delete;
    tushuthread2 &operator=(const tushuthread2 &) = delete;

private:
    tushuthread2(std::u16string SourceFile, std::u16string DestFile, std::shared_ptr<IBindStatusCallback> sink);

    // The thread body. Runs on the job's thread.
    void Execute();
    // True exactly when the URL-to-file service answers S_OK; never throws.
    bool DownloadFile(const std::u16string &SourceFile, const std::u16string &DestFile);

    std::u16string SourceFile;
    std::u16string DestFile;
    std::shared_ptr<IBindStatusCallback> m_sink;
};

} // namespace kivora
