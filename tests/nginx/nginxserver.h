#pragma once

#include "tests/support/scratchfolder.h"

#include <filesystem>
#include <string>

#include <sys/types.h>

namespace kivora::test {

// Debian's nginx on 127.0.0.1, serving a folder of static files the way a content or
// update server would: a configuration written into a scratch folder of its own (logs,
// pid and temporary files included, so no privilege is needed), one master process that
// this object starts and stops.
class NginxServer
{
public:
    // `root` is the folder served at "/".
    explicit NginxServer(std::filesystem::path root);
    ~NginxServer();
    NginxServer(const NginxServer &) = delete;
    NginxServer &operator=(const NginxServer &) = delete;

    // Empty when nginx can be run; otherwise why a test should skip.
    static std::string unavailableReason();

    // Before start(): answers with the whole resource (no Range asked) go out at most
    // `bytesPerSecond` ("512k"), so that a test can cut one off part-way; answers to a
    // Range request stay unlimited.
    void throttleWholeAnswers(std::string bytesPerSecond) { m_wholeAnswerRate = std::move(bytesPerSecond); }

    // Before start(): answers HTTPS only, with a certificate for 127.0.0.1 signed by a
    // certificate authority made for this server alone (authorityFile()). False, with
    // error(), when openssl could not make them.
    bool serveTls();
    // The authority's certificate (PEM); empty without TLS.
    std::string authorityFile() const;
    // "https://127.0.0.1:port" with TLS, else host().
    std::string origin() const;

    // Starts nginx on a free port and waits until it accepts connections. On failure,
    // error() tells why (nginx's own log included).
    bool start();
    void stop();

    int port() const { return m_port; }
    // "127.0.0.1:port", as the server hosts are written.
    std::string host() const;
    std::string error() const { return m_error; }
    // The requests nginx logged, one a line:
    // "METHOD /raw/path STATUS BODY_BYTES_SENT range=RANGE_HEADER".
    std::string accessLog() const;
    // Whether the log holds `text` at least `times` times. nginx logs a request only
    // after its response has gone out, so this waits a while for the lines to appear.
    bool logged(const std::string &text, std::size_t times = 1) const;

private:
    bool startOn(int port);
    void writeConfiguration(int port) const;
    bool waitUntilListening(int port);

    std::filesystem::path m_root;
    ScratchFolder m_scratch;
    std::filesystem::path m_folder;
    pid_t m_pid = -1;
    int m_port = 0;
    std::string m_error;
    std::string m_wholeAnswerRate;
    bool m_tls = false;
};

} // namespace kivora::test
