#pragma once

#include "transfer/fetchoptions.h"
#include "platform/core/windowmessages.h"

#include <cstdint>
#include <string>

namespace kivora {

struct ServerVersion;

// The largest executable an update takes: a body that grows past it is refused as it arrives.
inline constexpr std::uint64_t maxExecutableBytes = 256u * 1024 * 1024;

// Replaces the program's executable so that the program directory always holds a runnable
// `lumora` and a version record that matches it:
//   1. the new version line and the identity of the current `lumora` are written to the
//      pending file;
//   2. the current executable is kept as `lumora0` (a hard link, or a copy), while
//      `lumora` stays in place;
//   3. the fetch job writes the new executable over `lumora` in one rename, with the
//      execute bits set before it appears, and only when the whole body has arrived,
//      matches the signed SHA-256, is a program of this machine and is no larger than
//      maxExecutableBytes;
//   4. on the job's success report the record receives the new line.
// A process killed between 3 and 4 is settled by the next start (settlePendingUpdate).
// Runs on the user-interface thread; the job posts wm_downprogres to the window.
class ExecutableReplacement
{
public:
    explicit ExecutableReplacement(std::string programDirectory);

    bool underWay() const { return m_underWay; }

    // Precondition: !underWay(). `address` is the version line as text. Throws
    // std::runtime_error or std::system_error when the update cannot begin; nothing has
    // changed then. A version without a digest of 64 hex digits fails the job before it
    // fetches anything: the window receives the job's own failure report. `options` may
    // lower the size limit, never raise it.
    void start(const ServerVersion &version, std::u16string address, WindowHandle window, FetchOptions options = {});

    // After the job's success report. Answers whether the executable was replaced; the
    // record then holds the new line. Throws when the record cannot be written.
    bool completed();

    // After the job's failure report: `lumora` and the record were never touched; the
    // pending file and `lumora0` are dropped.
    void failed();

private:
    std::string m_programDirectory;
    bool m_underWay = false;
};

// Keeps the executable at `from` as `to` (a hard link where the file system allows one,
// a copy otherwise), replacing any file at `to`. Answers whether `to` now holds it.
bool keepPreviousExecutable(const std::string &from, const std::string &to);

} // namespace kivora
