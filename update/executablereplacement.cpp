#include "update/executablereplacement.h"

#include "transfer/Utushuthread.h"
#include "update/pendingupdate.h"
#include "update/serverversion.h"
#include "update/startupcleanup.h"
#include "update/updatefiles.h"
#include "platform/text/utf.h"

#include <cerrno>
#include <filesystem>

#include <unistd.h>

namespace kivora {

bool keepPreviousExecutable(const std::string &from, const std::string &to)
{
    ::unlink(to.c_str());
    if (::link(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno == ENOENT)
        return false;
    std::error_code error;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
}

ExecutableReplacement::ExecutableReplacement(std::string programDirectory)
    : m_programDirectory(std::move(programDirectory))
{
}

void ExecutableReplacement::start(const ServerVersion &version, std::u16string address, WindowHandle window, FetchOptions options)
{
    const std::string executable = m_programDirectory + executableName;
    const std::string previous = m_programDirectory + previousExecutableName;
    writePendingUpdate(m_programDirectory, PendingUpdate{version.line, identityOf(executable)});
    // Only a convenience while the update runs: `lumora` itself is never moved, so a
    // failure to keep the copy does not stop the update.
    keepPreviousExecutable(executable, previous);

    options.executable = true;
    // No digest accepts nothing: an empty one fails the job before it fetches anything.
    options.expectedSha256 = version.sha256.value_or(std::string());
    if (options.maxBodyBytes == 0 || options.maxBodyBytes > maxExecutableBytes)
        options.maxBodyBytes = maxExecutableBytes;
    try {
        tushuthread::create(std::move(address), fromUtf8(executable), window, std::move(options));
    } catch (...) {
        removePendingUpdate(m_programDirectory);
        ::unlink(previous.c_str());
        throw;
    }
    m_underWay = true;
}

bool ExecutableReplacement::completed()
{
    m_underWay = false;
    return settlePendingUpdate(m_programDirectory);
}

void ExecutableReplacement::failed()
{
    m_underWay = false;
    removePendingUpdate(m_programDirectory);
    ::unlink((m_programDirectory + previousExecutableName).c_str());
}

} // namespace kivora
