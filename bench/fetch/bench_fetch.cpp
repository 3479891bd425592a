// Fetches a large body from a loopback server with the fetch job and with the curl
// command line, in the same run, and prints the throughput ratio and the job's peak
// memory growth for a small and a large body (it should not depend on the size).
//
// Each fetch runs in a process of its own, timed from start to exit, so both sides pay
// the same process overhead and the memory figures belong to the job alone.
#include "transfer/Utushuthread.h"
#include "platform/core/windowmessages.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

long peakResidentKib()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// The child side: one job, then the peak memory before and after it.
int runJob(const char *url, const char *path)
{
    std::mutex mutex;
    std::condition_variable done;
    std::intptr_t last = 0;
    // Like a window's queue, the receiver only stores; it wakes the waiter for the last message only.
    const kivora::WindowHandle window = kivora::WindowMessages::attach([&](unsigned, std::uintptr_t, std::intptr_t lParam) {
        if (lParam != 100 && lParam != -1)
            return;
        std::lock_guard lock(mutex);
        last = lParam;
        done.notify_all();
    });
    const long before = peakResidentKib();
    const std::string u(url);
    const std::string p(path);
    kivora::tushuthread::create(std::u16string(u.begin(), u.end()), std::u16string(p.begin(), p.end()), window);
    {
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return last == 100 || last == -1; });
    }
    std::printf("%ld %ld %ld\n", before, peakResidentKib(), static_cast<long>(last));
    return last == 100 ? 0 : 1;
}

// Serves "/<bytes>" with a Content-Length body from a small repeated buffer.
class BodyServer
{
public:
    BodyServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        if (::bind(m_listener, reinterpret_cast<sockaddr *>(&a), length) != 0 || ::listen(m_listener, 8) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&a), &length) != 0) {
            std::perror("listen");
            std::exit(2);
        }
        m_port = ntohs(a.sin_port);
        m_pattern.resize(1 << 20);
        for (std::size_t i = 0; i < m_pattern.size(); ++i)
            m_pattern[i] = char(i * 131);
        std::thread([this] { run(); }).detach();
    }
    unsigned port() const { return m_port; }

private:
    void run()
    {
        for (;;) {
            const int c = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0)
                std::thread([this, c] { serve(c); }).detach();
        }
    }

    void serve(int c)
    {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const ssize_t n = ::recv(c, buffer, sizeof buffer, 0);
            if (n <= 0) {
                ::close(c);
                return;
            }
            request.append(buffer, static_cast<std::size_t>(n));
        }
        const long long size = std::atoll(request.c_str() + 5);
        const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n";
        bool ok = ::send(c, head.data(), head.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(head.size());
        for (long long left = size; ok && left > 0;) {
            const ssize_t n = ::send(c, m_pattern.data(), static_cast<std::size_t>(std::min<long long>(left, m_pattern.size())), MSG_NOSIGNAL);
            ok = n > 0;
            left -= n;
        }
        ::shutdown(c, SHUT_WR);
        while (::recv(c, buffer, sizeof buffer, 0) > 0) {
        }
        ::close(c);
    }

    int m_listener = -1;
    unsigned m_port = 0;
    std::vector<char> m_pattern;
};

struct Outcome
{
    double seconds = 0;
    std::string output;
    int status = -1;
};

Outcome spawnAndWait(std::vector<std::string> args)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        std::exit(2);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    Outcome outcome;
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(2);
    }
    ::close(pipeFds[1]);
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        outcome.output.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    posix_spawn_file_actions_destroy(&actions);
    return outcome;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--job") == 0)
        return runJob(argv[2], argv[3]);

    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 200;
    const long long big = megabytes * 1000 * 1000;
    const long long small = big / 10;
    const std::filesystem::path base = argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path();
    BodyServer server;
    std::string folder = (base / "kivora-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 2;
    const std::string target = folder + "/body";
    const std::string self = "/proc/self/exe";
    auto url = [&](long long size) { return "http://127.0.0.1:" + std::to_string(server.port()) + "/" + std::to_string(size); };
    auto check = [&](const Outcome &o, long long size, const char *who) {
        std::error_code ec;
        if (o.status != 0 || std::filesystem::file_size(target, ec) != static_cast<std::uintmax_t>(size)) {
            std::fprintf(stderr, "%s failed (status %d)\n", who, o.status);
            std::exit(1);
        }
        std::filesystem::remove(target);
    };

    // Peak memory growth of the job for a small and a large body.
    long growth[2] = {0, 0};
    const long long sizes[2] = {small, big};
    for (int i = 0; i < 2; ++i) {
        const Outcome o = spawnAndWait({self, "--job", url(sizes[i]), target});
        check(o, sizes[i], "job");
        long before = 0, after = 0, last = 0;
        std::sscanf(o.output.c_str(), "%ld %ld %ld", &before, &after, &last);
        growth[i] = after - before;
    }

    // Throughput: alternate the three, five runs each, compare the medians. The job
    // flushes the file to disk before renaming it; curl does not, so curl followed by
    // "sync FILE" is the like-for-like baseline where the disk is the bottleneck.
    std::vector<double> job;
    std::vector<double> curl;
    std::vector<double> curlSync;
    for (int run = 0; run < 5; ++run) {
        Outcome o = spawnAndWait({self, "--job", url(big), target});
        check(o, big, "job");
        job.push_back(o.seconds);
        o = spawnAndWait({"curl", "-s", "-S", "-f", "-o", target, url(big)});
        check(o, big, "curl");
        curl.push_back(o.seconds);
        o = spawnAndWait({"sh", "-c", "curl -s -S -f -o \"$0\" \"$1\" && sync \"$0\"", target, url(big)});
        check(o, big, "curl + sync");
        curlSync.push_back(o.seconds);
    }
    std::filesystem::remove_all(folder);

    const double jobRate = big / median(job) / 1e6;
    const double curlRate = big / median(curl) / 1e6;
    const double curlSyncRate = big / median(curlSync) / 1e6;
    std::printf("body %lld MB from 127.0.0.1 into %s, median of 5 runs each\n", megabytes, base.c_str());
    std::printf("  fetch job          %8.1f MB/s  (%.3f s, includes fsync and rename)\n", jobRate, median(job));
    std::printf("  curl               %8.1f MB/s  (%.3f s)\n", curlRate, median(curl));
    std::printf("  curl + sync FILE   %8.1f MB/s  (%.3f s)\n", curlSyncRate, median(curlSync));
    std::printf("  throughput ratio job/curl: %.3f, job/(curl + sync): %.3f (target >= 0.95)\n", jobRate / curlRate,
                jobRate / curlSyncRate);
    std::printf("peak memory growth of the job (VmHWM): %lld MB body %ld KiB, %lld MB body %ld KiB\n", small / 1000000, growth[0],
                big / 1000000, growth[1]);
    return 0;
}
