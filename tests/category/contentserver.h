#pragma once

#include "tests/support/loopbackserver.h"

#include <map>
#include <mutex>
#include <string>

namespace kivora::test {

// A content server on 127.0.0.1 for the category window tests: answers each path it was
// told about (the decoded path, as "/erger/做客歌.swf") in the way it was told, anything
// else with the fallback body or 404, and counts the requests per path.
class ContentServer
{
public:
    enum class Answer {
        Body,        // the whole body with its length
        NotFound,    // 404
        CloseEarly,  // the full length announced, half the body, then the connection closes
        PauseHalf,   // half the body, then the rest once release() is called
    };

    ContentServer();

    bool start() { return m_loopback.start(); }
    // "127.0.0.1:port"
    std::string host() const { return "127.0.0.1:" + std::to_string(m_loopback.port()); }

    void serve(const std::string &path, const std::string &body, Answer answer = Answer::Body);
    // The answer to paths nobody told the server about; empty: 404.
    void setFallback(const std::string &body);

    int requests(const std::string &path) const;
    int totalRequests() const;
    // True once a PauseHalf answer has sent its first half.
    bool halfSent() const { return m_halfSent; }
    // Lets every PauseHalf answer send its second half.
    void release() { m_loopback.stallGate().open(); }

private:
    struct Entry
    {
        std::string body;
        Answer answer;
    };
    void answer(const httplib::Request &request, httplib::Response &response);

    LoopbackServer m_loopback;
    mutable std::mutex m_mutex;
    std::map<std::string, Entry> m_entries;
    std::map<std::string, int> m_requests;
    std::string m_fallback;
    std::atomic<bool> m_halfSent{false};
};

} // namespace kivora::test
