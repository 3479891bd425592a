#include "tests/catalogtool/contentserver.h"

#include "tools/demo/demofileserver.h"

#include <stdexcept>

namespace kivora::test {

ContentServer::ContentServer(const std::filesystem::path &root, std::uint64_t bytesPerSecond)
{
    m_server = std::make_unique<demo::DemoFileServer>("download", root, [this](const std::string &line) {
        // The line is: name address "METHOD path" status.
        const auto open = line.find('"');
        const auto close = line.rfind('"');
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(open != std::string::npos && close > open ? line.substr(open + 1, close - open - 1) : line);
    });
    m_server->setRate(bytesPerSecond);
    m_port = m_server->bind("127.0.0.1", 0);
    if (m_port < 0)
        throw std::runtime_error("no loopback port for the content server");
    m_thread = std::thread([this] { m_server->run(); });
}

ContentServer::~ContentServer()
{
    m_server->stop();
    m_thread.join();
}

std::string ContentServer::host() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

std::vector<std::string> ContentServer::requests() const
{
    const std::lock_guard lock(m_mutex);
    return m_requests;
}

} // namespace kivora::test
