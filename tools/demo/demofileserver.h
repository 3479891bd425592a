#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace httplib {
class Request;
class Response;
class Server;
} // namespace httplib

namespace kivora::demo {

// Serves the files under a root folder over HTTP GET (and HEAD), by their
// decoded request path, optionally paced to a byte rate. Logs one line per
// request through the logger, which may be called from any server thread.
class DemoFileServer {
public:
    using Logger = std::function<void(const std::string &line)>;

    DemoFileServer(std::string name, std::filesystem::path root, Logger logger);
    ~DemoFileServer();
    DemoFileServer(const DemoFileServer &) = delete;
    DemoFileServer &operator=(const DemoFileServer &) = delete;

    // Bytes per second for response bodies; 0 (the default) sends at once.
    void setRate(std::uint64_t bytesPerSecond);
    // A file for one request path, used when the root has no file there.
    void addFallback(const std::string &requestPath, const std::filesystem::path &file);

    // Binds to host:port; port 0 picks a free one. Returns the port, or -1.
    int bind(const std::string &host, int port);
    // Serves until stop(). Precondition: bind() succeeded. The server must
    // not be destroyed before run() has returned.
    bool run();
    // Safe from any thread, also from a signal-waiting thread; ends paced transfers early.
    void stop();

private:
    void serve(const httplib::Request &request, httplib::Response &response);

    std::string m_name;
    std::filesystem::path m_root;
    Logger m_logger;
    std::uint64_t m_rate = 0;
    std::map<std::string, std::filesystem::path> m_fallbacks;
    std::atomic<bool> m_stopping{false};
    std::atomic<bool> m_runEntered{false};
    std::atomic<bool> m_runLeft{false};
    std::unique_ptr<httplib::Server> m_server;
};

} // namespace kivora::demo
