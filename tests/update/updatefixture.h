#pragma once

#include "platform/core/sha256.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/refusingport.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include <cstdio>

#include <elf.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

namespace kivora::test {

inline std::string sha256Hex(const std::string &bytes)
{
    Sha256 digest;
    digest.update(bytes);
    return Sha256::toHex(digest.finish());
}

// Signing as the publisher does, with the demo key that configuring made for this build.
using UpdateKey = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;

// False when the build has the publisher's key, whose private half the tests do not have.
inline bool canSignUpdates()
{
    return std::strlen(KIVORA_UPDATE_SIGNING_KEY) != 0;
}

inline EVP_PKEY *demoUpdateKey()
{
    static const UpdateKey key = [] {
        const std::string pem = readFile(KIVORA_UPDATE_SIGNING_KEY);
        const std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.data(), int(pem.size())), BIO_free);
        return UpdateKey(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr), EVP_PKEY_free);
    }();
    if (!key)
        throw std::runtime_error("the demo update key cannot be read");
    return key.get();
}

inline UpdateKey anotherUpdateKey()
{
    return UpdateKey(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"), EVP_PKEY_free);
}

// `signedPart` followed by its "ed25519=" line.
inline std::string signVersionFile(const std::string &signedPart, EVP_PKEY *key = demoUpdateKey())
{
    unsigned char signature[64];
    std::size_t size = sizeof signature;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key) != 1
        || EVP_DigestSign(context.get(), signature, &size, reinterpret_cast<const unsigned char *>(signedPart.data()),
                          signedPart.size())
            != 1)
        throw std::runtime_error("cannot sign");
    unsigned char text[89];
    EVP_EncodeBlock(text, signature, int(size));
    return signedPart + "ed25519=" + reinterpret_cast<const char *>(text) + "\r\n";
}

// The version file sign-update writes for `line` and the executable `executable`.
inline std::string signedVersionFile(const std::string &line, const std::string &executable)
{
    return signVersionFile(line + "\r\nsha256=" + sha256Hex(executable) + "\r\n");
}

// A real program of this machine that prints `word`, padded to `size` bytes so that its
// download takes several blocks.
inline std::string programPrinting(const std::string &word, std::size_t size = 0)
{
    std::string bytes = readFile(KIVORA_WORD_PROGRAM);
    const std::size_t tail = word.size() + 2;
    if (bytes.size() + tail < size)
        bytes.append(size - bytes.size() - tail, '\0');
    return bytes + "\n" + word + "\n";
}

// The same program, marked as one for another architecture.
inline std::string forAnotherMachine(std::string program)
{
    if (program.size() < sizeof(Elf64_Ehdr))
        return program;
    std::uint16_t machine = 0;
    std::memcpy(&machine, program.data() + offsetof(Elf64_Ehdr, e_machine), sizeof machine);
    machine = machine == EM_AARCH64 ? EM_X86_64 : EM_AARCH64;
    std::memcpy(program.data() + offsetof(Elf64_Ehdr, e_machine), &machine, sizeof machine);
    return program;
}

// A tiny shell program that prints `word`, padded with comment lines to `size` bytes so
// that its download takes several blocks.
inline std::string scriptPrinting(const std::string &word, std::size_t size = 0)
{
    std::string text = "#!/bin/sh\necho " + word + "\nexit 0\n";
    while (text.size() < size)
        text += "# " + std::string(std::min<std::size_t>(78, size - text.size()), 'x') + "\n";
    return text;
}

// Runs a shell command and answers what it printed, or "(failed)".
inline std::string commandOutput(const std::string &command)
{
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return "(failed)";
    std::string output;
    char buffer[256];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, count);
    return ::pclose(pipe) == 0 ? output : "(failed)";
}

// Runs the program and answers what it printed, or "(failed)".
inline std::string runProgram(const std::filesystem::path &path)
{
    return commandOutput("'" + path.string() + "' 2>/dev/null");
}

// The update server of the tests:
//   /erge/update.txt  the version file set with setVersionFile (404 until then)
//   /new              the new executable, with Content-Length
//   /empty            Content-Length 0
//   /script           a shell script that prints "new"
//   /foreign          the new executable marked for another architecture
//   /status/NNN       status NNN with a small body
//   /short            the new executable's Content-Length, half of it, then the close
//   /stall            the new executable's Content-Length, half of it, then silence
//                     until the stall gate opens
//   /endless          a chunked body that never ends
class UpdateServer
{
public:
    explicit UpdateServer(std::string newExecutable)
        : m_newExecutable(std::move(newExecutable))
        , m_files{{"/new", m_newExecutable},
                  {"/empty", ""},
                  {"/script", scriptPrinting("new")},
                  {"/foreign", forAnotherMachine(m_newExecutable)}}
    {
        httplib::Server &server = m_loopback.server();
        server.Get("/erge/update.txt", [this](const httplib::Request &, httplib::Response &res) {
            if (m_late)
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            std::lock_guard lock(m_mutex);
            if (m_versionFile.empty() && !m_versionFileSet) {
                res.status = 404;
                return;
            }
            res.set_content(m_versionFile, "text/plain");
        });
        for (const auto &[path, body] : m_files) {
            server.Get(path, [this, &body](const httplib::Request &, httplib::Response &res) {
                ++m_fetches;
                res.set_content(body, "application/octet-stream");
            });
        }
        server.Get(R"(/status/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
            res.status = std::stoi(req.matches[1]);
            if (res.status == 301 || res.status == 302)
                res.set_header("Location", "/new");
            res.set_content("a body the probe never reads", "text/plain");
        });
        const std::string *body = &m_newExecutable;
        Gate *stall = &m_loopback.stallGate();
        std::atomic<bool> *halfSent = &m_halfSent;
        server.Get("/endless", [](const httplib::Request &, httplib::Response &res) {
            res.set_chunked_content_provider("application/octet-stream", [](std::size_t, httplib::DataSink &sink) {
                static const std::string block(64 * 1024, 'x');
                return sink.write(block.data(), block.size());
            });
        });
        server.Get("/short", [body](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(body->size(), "application/octet-stream",
                                     [body](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                                         const std::size_t half = body->size() / 2;
                                         return offset < half && sink.write(body->data() + offset, half - offset);
                                     });
        });
        server.Get("/stall", [body, stall, halfSent](const httplib::Request &, httplib::Response &res) {
            res.set_content_provider(body->size(), "application/octet-stream",
                                     [body, stall, halfSent](std::size_t offset, std::size_t, httplib::DataSink &sink) {
                                         const std::size_t half = body->size() / 2;
                                         if (offset < half)
                                             return sink.write(body->data() + offset, half - offset);
                                         *halfSent = true;
                                         stall->wait();
                                         return false;
                                     });
        });
        m_started = m_loopback.start();
    }

    bool started() const { return m_started; }
    bool halfSent() const { return m_halfSent; }
    void setVersionFile(std::string text)
    {
        std::lock_guard lock(m_mutex);
        m_versionFile = std::move(text);
        m_versionFileSet = true;
    }
    // The version file's address answers only after a while.
    void answerLate() { m_late = true; }
    // "http://127.0.0.1:port" + path, as bytes.
    std::string url(const std::string &path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_loopback.port()) + path;
    }
    std::u16string url16(const std::string &path) const
    {
        const std::string text = url(path);
        return std::u16string(text.begin(), text.end());
    }
    const std::string &newExecutable() const { return m_newExecutable; }
    // What `path` serves whole; for /short and /stall the executable they cut.
    const std::string &body(const std::string &path) const
    {
        const auto file = m_files.find(path);
        return file != m_files.end() ? file->second : m_newExecutable;
    }
    // Requests for /new, /empty, /script or /foreign.
    int fetches() const { return m_fetches; }

private:
    std::string m_newExecutable;
    const std::map<std::string, std::string> m_files;
    std::atomic<int> m_fetches{0};
    std::mutex m_mutex;
    std::string m_versionFile;
    bool m_versionFileSet = false;
    std::atomic<bool> m_halfSent{false};
    std::atomic<bool> m_late{false};
    LoopbackServer m_loopback;
    bool m_started = false;
};

} // namespace kivora::test
