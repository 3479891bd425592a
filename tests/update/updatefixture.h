#pragma once

#include "tests/support/loopbackserver.h"
#include "tests/support/refusingport.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include <cstdio>

namespace kivora::test {

// A tiny shell program that prints `word`, padded with comment lines to `size` bytes so
// that its download takes several blocks.
inline std::string scriptPrinting(const std::string &word, std::size_t size = 0)
{
    std::string text = "#!/bin/sh\necho " + word + "\nexit 0\n";
    while (text.size() < size)
        text += "# " + std::string(std::min<std::size_t>(78, size - text.size()), 'x') + "\n";
    return text;
}

// Runs the program and answers what it printed, or "(failed)".
inline std::string runProgram(const std::filesystem::path &path)
{
    std::string command = "'";
    command += path.string();
    command += "' 2>/dev/null";
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return "(failed)";
    std::string output;
    char buffer[256];
    while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        output.append(buffer, count);
    return ::pclose(pipe) == 0 ? output : "(failed)";
}

// The update server of the tests:
//   /erge/update.txt  the version file set with setVersionFile (404 until then)
//   /new              the new executable, with Content-Length
//   /status/NNN       status NNN with a small body
//   /short            the new executable's Content-Length, half of it, then the close
//   /stall            the new executable's Content-Length, half of it, then silence
//                     until the stall gate opens
class UpdateServer
{
public:
    explicit UpdateServer(std::string newExecutable)
        : m_newExecutable(std::move(newExecutable))
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
        server.Get("/new", [this](const httplib::Request &, httplib::Response &res) {
            res.set_content(m_newExecutable, "application/octet-stream");
        });
        server.Get(R"(/status/(\d+))", [](const httplib::Request &req, httplib::Response &res) {
            res.status = std::stoi(req.matches[1]);
            if (res.status == 301 || res.status == 302)
                res.set_header("Location", "/new");
            res.set_content("a body the probe never reads", "text/plain");
        });
        const std::string *body = &m_newExecutable;
        Gate *stall = &m_loopback.stallGate();
        std::atomic<bool> *halfSent = &m_halfSent;
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

private:
    std::string m_newExecutable;
    std::mutex m_mutex;
    std::string m_versionFile;
    bool m_versionFileSet = false;
    std::atomic<bool> m_halfSent{false};
    std::atomic<bool> m_late{false};
    LoopbackServer m_loopback;
    bool m_started = false;
};

} // namespace kivora::test
