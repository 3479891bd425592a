#pragma once

#include "transfer/fetcherror.h"
#include "transfer/fetchoptions.h"
#include "platform/core/windowmessages.h"
#include "transfer/workmode.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kivora {

class HttpClient;

// Fetches one http address with a GET on a thread of its own and saves the body to a file.
//
// The body is streamed to a temporary file beside `fsavepath`, which replaces `fsavepath`
// only once the whole body has arrived, within the size limit, and passed the checks the
// options ask for (the expected digest, a program of this machine). On any failure nothing
// is saved and an existing file stays as it was.
//
// Messages to the window `fhandle`, all `wm_downprogres` (2025) with wParam 0, posted and
// never sent, so a window that is already gone costs nothing:
//   lParam 0..99  the share of the announced Content-Length received so far, once per
//                 block (a share above 99 is reported as 99); only for a 2xx response;
//   lParam 100    once, after the file has been saved: the job succeeded;
//   lParam -1     once, after a failure: the job's failure report (no file was saved).
// Exactly one of 100 and -1 is the last message of every job.
//
// The job deletes itself when it ends; nothing waits for it and the pointer returned by
// create must not be used once the job may have ended.
class tushuthread
{
public:
    static constexpr std::intptr_t kSaved = 100;
    static constexpr std::intptr_t kFailed = -1;

    // Runs on the calling thread; the job's thread starts once the job is fully built.
    // Throws std::system_error when no thread can be started.
    static tushuthread *create(std::u16string aurl, std::u16string asavepath, WindowHandle ahandle, FetchOptions options = {});

    tushuthread(const tushuthread &) = delete;
    tushuthread &operator=(const tushuthread &) = delete;

private:
    tushuthread(std::u16string aurl, std::u16string asavepath, WindowHandle ahandle, FetchOptions options);
    ~tushuthread();

    void Execute();
    std::optional<FetchError> doExecute();
    void doworkbegin(HttpClient &Asender, WorkMode Aworkmode, std::int64_t Aworkcountmax);
    void dowork(HttpClient &asenger, WorkMode Aworkmode, std::int64_t AWORKCOUNT);

    std::unique_ptr<HttpClient> fidhttp;
    std::int64_t Fmaxprogres = 0;
    std::u16string furl;
    std::u16string fsavepath;
    WindowHandle fhandle;
    FetchOptions m_options;
};

} // namespace kivora
