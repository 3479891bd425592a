#include "tests/nginx/nginxserver.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kivora::test {

namespace {

constexpr int portAttempts = 5;
constexpr auto listenWait = std::chrono::seconds(20);
constexpr auto logWait = std::chrono::seconds(10);

std::filesystem::path nginxProgram()
{
    // KIVORA_NGINX names another nginx; one that cannot be run counts as none.
    if (const char *chosen = std::getenv("KIVORA_NGINX"); chosen && *chosen)
        return ::access(chosen, X_OK) == 0 ? std::filesystem::path(chosen) : std::filesystem::path();
    for (const char *candidate : {"/usr/sbin/nginx", "/usr/bin/nginx", "/usr/local/sbin/nginx"})
        if (::access(candidate, X_OK) == 0)
            return candidate;
    return {};
}

std::string fileText(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A port that nothing listens on just now. Another process may take it before nginx
// does; start() then tries again with another.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

} // namespace

NginxServer::NginxServer(std::filesystem::path root)
    : m_root(std::filesystem::absolute(std::move(root)))
    , m_folder(m_scratch.path())
{
}

NginxServer::~NginxServer()
{
    stop();
}

std::string NginxServer::unavailableReason()
{
    if (nginxProgram().empty())
        return "nginx is not installed (Debian package nginx-light); the tests against a real server are skipped";
    return {};
}

std::string NginxServer::host() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

bool NginxServer::serveTls()
{
    // An authority and a server key of its own, for two days; the server's name is its address.
    const std::string folder = m_folder.string();
    std::ofstream(m_folder / "server.ext") << "subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n";
    const std::string commands =
        "cd '" + folder + "' && "
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
        "-subj '/CN=Kivora test authority' -keyout authority.key -out authority.pem && "
        "openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj '/CN=127.0.0.1' "
        "-keyout server.key -out server.csr && "
        "openssl x509 -req -in server.csr -CA authority.pem -CAkey authority.key -CAcreateserial -days 2 "
        "-extfile server.ext -out server.pem";
    if (std::system((commands + " >openssl.log 2>&1").c_str()) != 0) {
        m_error = "openssl could not make the test certificates: " + fileText(m_folder / "openssl.log");
        return false;
    }
    m_tls = true;
    return true;
}

std::string NginxServer::authorityFile() const
{
    return m_tls ? (m_folder / "authority.pem").string() : std::string();
}

std::string NginxServer::origin() const
{
    return m_tls ? "https://" + host() : host();
}

std::string NginxServer::accessLog() const
{
    return fileText(m_folder / "access.log");
}

bool NginxServer::logged(const std::string &text, std::size_t times) const
{
    const auto occurrences = [&] {
        const std::string log = accessLog();
        std::size_t count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size()))
            ++count;
        return count;
    };
    const auto deadline = std::chrono::steady_clock::now() + logWait;
    while (occurrences() < times) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool NginxServer::start()
{
    if (m_pid > 0)
        return true;
    if (m_folder.empty()) {
        m_error = "no scratch folder for nginx";
        return false;
    }
    const std::string reason = unavailableReason();
    if (!reason.empty()) {
        m_error = reason;
        return false;
    }
    for (int attempt = 0; attempt < portAttempts; ++attempt) {
        const int port = freePort();
        if (port != 0 && startOn(port)) {
            m_port = port;
            return true;
        }
        // Only a port taken in the meantime is worth another try.
        if (fileText(m_folder / "error.log").find("Address already in use") == std::string::npos)
            return false;
    }
    return false;
}

void NginxServer::writeConfiguration(int port) const
{
    const std::string folder = m_folder.string();
    std::ofstream out(m_folder / "nginx.conf", std::ios::trunc);
    out << "daemon off;\n"
           "master_process on;\n"
           "worker_processes 1;\n";
    // Started as root, nginx would hand its worker to "nobody", who cannot read a
    // private scratch folder.
    if (::geteuid() == 0)
        out << "user root;\n";
    out << "pid " << folder << "/nginx.pid;\n"
        << "error_log " << folder << "/error.log info;\n"
        << "events { worker_connections 64; }\n"
           "http {\n"
           "    types {\n"
           "        application/x-shockwave-flash swf;\n"
           "        text/plain txt;\n"
           "    }\n"
           "    default_type application/octet-stream;\n"
           "    charset utf-8;\n"
           "    charset_types text/plain;\n"
           "    sendfile on;\n"
           "    log_format requests '$request_method $request_uri $status $body_bytes_sent range=$http_range';\n"
        << "    access_log " << folder << "/access.log requests;\n"
        << "    client_body_temp_path " << folder << "/temp/body;\n"
        << "    proxy_temp_path " << folder << "/temp/proxy;\n"
        << "    fastcgi_temp_path " << folder << "/temp/fastcgi;\n"
        << "    uwsgi_temp_path " << folder << "/temp/uwsgi;\n"
        << "    scgi_temp_path " << folder << "/temp/scgi;\n"
        << "    map $http_range $whole_answer_rate {\n"
        << "        \"\" " << (m_wholeAnswerRate.empty() ? "0" : m_wholeAnswerRate) << ";\n"
        << "        default 0;\n"
        << "    }\n"
        << "    limit_rate $whole_answer_rate;\n"
        << "    server {\n"
        << "        listen 127.0.0.1:" << port << (m_tls ? " ssl" : "") << ";\n";
    if (m_tls)
        out << "        ssl_certificate " << folder << "/server.pem;\n"
            << "        ssl_certificate_key " << folder << "/server.key;\n";
    out
        << "        root " << m_root.string() << ";\n"
        << "        location / {\n"
           "            expires 30d;\n"
           "        }\n"
           "        location = /erge/update.txt {\n"
           "            add_header Cache-Control \"no-cache\";\n"
           "        }\n"
           "    }\n"
           "}\n";
}

bool NginxServer::startOn(int port)
{
    writeConfiguration(port);
    std::filesystem::create_directories(m_folder / "temp");
    std::filesystem::remove(m_folder / "error.log");

    const std::string program = nginxProgram().string();
    const std::string prefix = m_folder.string() + "/";
    const std::string configuration = (m_folder / "nginx.conf").string();
    const std::string errorLog = (m_folder / "error.log").string();
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) {
        m_error = "fork failed";
        return false;
    }
    if (pid == 0) {
        // A test that dies must not leave nginx listening behind it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        // -e: the log nginx writes to before it has read the configuration.
        ::execl(program.c_str(), program.c_str(), "-p", prefix.c_str(), "-e", errorLog.c_str(), "-c",
                configuration.c_str(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    m_pid = pid;
    if (waitUntilListening(port))
        return true;
    stop();
    m_error = "nginx did not start: " + fileText(m_folder / "error.log");
    return false;
}

bool NginxServer::waitUntilListening(int port)
{
    const auto deadline = std::chrono::steady_clock::now() + listenWait;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        if (accepts(port))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void NginxServer::stop()
{
    if (m_pid <= 0)
        return;
    // SIGTERM: the fast shutdown, which ends the worker too.
    ::kill(m_pid, SIGTERM);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
}

} // namespace kivora::test
