#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kivora::demo {
class DemoFileServer;
}

namespace kivora::test {

// A download server on a loopback port serving the files under `root`, each response
// paced to `bytesPerSecond` when that is not 0. Records every request as "METHOD path".
class ContentServer
{
public:
    explicit ContentServer(const std::filesystem::path &root, std::uint64_t bytesPerSecond = 0);
    ~ContentServer();
    ContentServer(const ContentServer &) = delete;
    ContentServer &operator=(const ContentServer &) = delete;

    // "127.0.0.1:port", for --download-host.
    std::string host() const;
    std::vector<std::string> requests() const;

private:
    std::unique_ptr<demo::DemoFileServer> m_server;
    int m_port = -1;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};

} // namespace kivora::test
