#include "executablereplacement.h"

#include "Utushuthread.h"
#include "pendingupdate.h"
#include "serverversion.h"
#include "startupcleanup.h"
#include "updatefiles.h"

#include <cerrno>
#include <filesystem>

#include <unistd.h>

namespace kivora {

namespace {

// The fetch job takes its path as UTF-16. Bytes that are not UTF-8 become U+FFFD, so such
// a path names no file and the fetch fails without touching anything.
std::u16string utf16Path(std::string_view bytes)
{
    std::u16string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
        char32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        bool valid = length != 0 && i + length <= bytes.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && code >= smallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (!valid) {
            text += u'\uFFFD';
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
        i += length;
    }
    return text;
}

} // namespace

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
    options.expectedSha256 = version.sha256;
    try {
        tushuthread::create(std::move(address), utf16Path(executable), window, std::move(options));
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
