#include "tools/demo/demofileserver.h"

#include "tools/demo/requestpath.h"

#include <httplib.h>

#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace kivora::demo {

namespace {

std::string contentTypeOf(const std::filesystem::path &file)
{
    const std::string extension = file.extension().string();
    if (extension == ".swf")
        return "application/x-shockwave-flash";
    if (extension == ".txt")
        return "text/plain; charset=utf-8";
    return "application/octet-stream";
}

// Size and modification time, as static file servers form theirs: a changed file gets a new
// one, so a download cut off halfway can go on only while the file stays the same.
std::string entityTagOf(const std::filesystem::path &file, std::size_t size)
{
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(file, error);
    std::ostringstream tag;
    tag << '"' << std::hex << (error ? 0 : modified.time_since_epoch().count()) << '-' << size << '"';
    return tag.str();
}

std::shared_ptr<std::string> readWholeFile(const std::filesystem::path &file)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        return nullptr;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return nullptr;
    auto data = std::make_shared<std::string>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad())
        return nullptr;
    return data;
}

} // namespace

DemoFileServer::DemoFileServer(std::string name, std::filesystem::path root, Logger logger)
    : m_name(std::move(name))
    , m_root(std::move(root))
    , m_logger(std::move(logger))
    , m_server(std::make_unique<httplib::Server>())
{
    m_server->Get(R"(/.*)", [this](const httplib::Request &request, httplib::Response &response) {
        serve(request, response);
    });
    // Address reuse only: the library's default also sets SO_REUSEPORT, which
    // would let a second copy share a port already in use and split its requests.
    m_server->set_socket_options([](int socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    m_server->set_logger([this](const httplib::Request &request, const httplib::Response &response) {
        if (!m_logger)
            return;
        std::ostringstream line;
        line << m_name << ' ' << request.remote_addr << " \"" << request.method << ' ' << request.path << "\" "
             << response.status;
        m_logger(line.str());
    });
}

DemoFileServer::~DemoFileServer() = default;

void DemoFileServer::setRate(std::uint64_t bytesPerSecond)
{
    m_rate = bytesPerSecond;
}

void DemoFileServer::addFallback(const std::string &requestPath, const std::filesystem::path &file)
{
    m_fallbacks[requestPath] = file;
}

int DemoFileServer::bind(const std::string &host, int port)
{
    if (port == 0)
        return m_server->bind_to_any_port(host);
    return m_server->bind_to_port(host, port) ? port : -1;
}

bool DemoFileServer::run()
{
    m_runEntered = true;
    if (m_stopping) {
        m_runLeft = true;
        return false;
    }
    const bool served = m_server->listen_after_bind();
    m_runLeft = true;
    return served;
}

void DemoFileServer::stop()
{
    m_stopping = true;
    // The library ignores a stop that comes before its accept loop is up, and
    // then serves forever; wait for the loop to start (or for run() to give up).
    while (m_runEntered && !m_runLeft && !m_server->is_running())
        std::this_thread::yield();
    m_server->stop();
}

void DemoFileServer::serve(const httplib::Request &request, httplib::Response &response)
{
    // The allowed origin lets a web player page on another origin fetch the movies.
    response.set_header("Access-Control-Allow-Origin", "*");

    std::shared_ptr<std::string> data;
    std::filesystem::path file;
    if (const auto resolved = resolveRequestPath(m_root, request.path)) {
        file = *resolved;
        data = readWholeFile(file);
    }
    if (!data) {
        const auto fallback = m_fallbacks.find(request.path);
        if (fallback != m_fallbacks.end()) {
            file = fallback->second;
            data = readWholeFile(file);
        }
    }
    if (!data) {
        response.status = 404;
        response.set_content("not found\n", "text/plain");
        return;
    }

    const std::string type = contentTypeOf(file);
    const std::string tag = entityTagOf(file, data->size());
    response.set_header("ETag", tag);
    // The library answers Range itself but knows nothing of If-Range: a range asked for under
    // another tag must get the whole file, so the request forgets its range. The request is
    // the library's own object, handed over read-only.
    if (request.has_header("If-Range") && request.get_header_value("If-Range") != tag)
        const_cast<httplib::Request &>(request).ranges.clear();
    if (m_rate == 0) {
        response.set_content(std::move(*data), type.c_str());
        return;
    }
    // Twenty slices a second, so progress moves smoothly even at low rates.
    const std::size_t slice = static_cast<std::size_t>(std::max<std::uint64_t>(1, m_rate / 20));
    const std::size_t size = data->size();
    response.set_content_provider(size, type, [this, data, slice](std::size_t offset, std::size_t length, httplib::DataSink &sink) {
        if (m_stopping)
            return false;
        const std::size_t chunk = std::min(length, slice);
        if (!sink.write(data->data() + offset, chunk))
            return false;
        if (chunk < length) // no pause after the last slice
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return true;
    });
}

} // namespace kivora::demo
