// Throughput and memory of the URL-to-file service against the curl command line, both
// fetching from the same loopback server in the same run.
#include "platform/net/urldownload.h"
#include "platform/net/urldownloadoptions.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr std::size_t MiB = 1024 * 1024;

// The server lives in a child process, forked before anything is allocated here, so that
// the peak memory read below is the service's alone. It generates the body on the fly.
[[noreturn]] void runServer(int portPipe)
{
    static std::string block(MiB, '\0');
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<char>(i * 131);
    httplib::Server server;
    server.Get(R"(/(\d+)\.bin)", [](const httplib::Request &req, httplib::Response &res) {
        const std::size_t size = std::stoull(req.matches[1]) * MiB;
        res.set_content_provider(size, "application/octet-stream",
                                 [](std::size_t offset, std::size_t length, httplib::DataSink &sink) {
                                     const std::size_t start = offset % MiB;
                                     return sink.write(block.data() + start, std::min(length, MiB - start));
                                 });
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (::write(portPipe, &port, sizeof port) != sizeof port)
        ::_exit(1);
    ::close(portPipe);
    server.listen_after_bind();
    ::_exit(0);
}

double seconds(std::chrono::steady_clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

long peakKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

bool resetPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear);
}

std::u16string ascii(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

double timeService(const std::string &url, const std::filesystem::path &path)
{
    const auto start = std::chrono::steady_clock::now();
    const kivora::HRESULT result = kivora::URLDownloadToFile(nullptr, ascii(url), path.u16string(), 0, nullptr);
    const double elapsed = seconds(std::chrono::steady_clock::now() - start);
    if (result != kivora::S_OK) {
        std::fprintf(stderr, "service failed: 0x%08X\n", static_cast<unsigned>(result));
        std::exit(1);
    }
    return elapsed;
}

// curl writes and exits; `durable` adds the fsync that the service does before the file
// takes its name, so that both sides pay for the same guarantee.
double timeCurl(const std::string &url, const std::filesystem::path &path, bool durable)
{
    std::vector<std::string> args = {"curl", "-s", "-f", "-o", path.string(), url};
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run curl\n");
        std::exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (durable) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        ::fsync(fd);
        ::close(fd);
    }
    const double elapsed = seconds(std::chrono::steady_clock::now() - start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "curl failed\n");
        std::exit(1);
    }
    return elapsed;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    int portPipe[2];
    if (::pipe(portPipe) != 0)
        return 1;
    const pid_t server = ::fork();
    if (server == 0) {
        ::close(portPipe[0]);
        runServer(portPipe[1]);
    }
    ::close(portPipe[1]);
    int port = 0;
    if (::read(portPipe[0], &port, sizeof port) != sizeof port)
        return 1;
    const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";

    std::string folderName = (std::filesystem::temp_directory_path() / "kivora-bench-XXXXXX").string();
    if (!::mkdtemp(folderName.data()))
        return 1;
    const std::filesystem::path folder = folderName;

    // Memory: the peak resident size must not grow with the size of the file.
    timeService(base + "1.bin", folder / "warm.bin");
    long peaks[2] = {};
    const int sizes[2] = {20, 200};
    for (int i = 0; i < 2; ++i) {
        resetPeak();
        timeService(base + std::to_string(sizes[i]) + ".bin", folder / "memory.bin");
        peaks[i] = peakKiB();
    }
    std::printf("peak resident size (VmHWM): %ld KiB after 20 MB, %ld KiB after 200 MB, growth %ld KiB\n",
                peaks[0], peaks[1], peaks[1] - peaks[0]);

    // Throughput: 200 MB, alternating the two clients, medians of `rounds` runs.
    const std::string url = base + "200.bin";
    std::vector<double> service, curl, curlDurable;
    for (int round = 0; round < rounds; ++round) {
        service.push_back(timeService(url, folder / "service.bin"));
        curl.push_back(timeCurl(url, folder / "curl.bin", false));
        curlDurable.push_back(timeCurl(url, folder / "curl-fsync.bin", true));
    }
    const double mb = 200.0 * MiB / 1e6;
    std::printf("200 MB x %d, median: service %.3f s (%.0f MB/s), curl %.3f s (%.0f MB/s), curl+fsync %.3f s "
                "(%.0f MB/s)\n",
                rounds, median(service), mb / median(service), median(curl), mb / median(curl),
                median(curlDurable), mb / median(curlDurable));
    std::printf("throughput ratio service/curl: %.3f   service/(curl+fsync): %.3f\n", median(curl) / median(service),
                median(curlDurable) / median(service));

    ::kill(server, SIGTERM);
    ::waitpid(server, nullptr, 0);
    std::filesystem::remove_all(folder);
    return 0;
}
