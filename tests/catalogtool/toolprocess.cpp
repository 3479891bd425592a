#include "tests/catalogtool/toolprocess.h"

#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace kivora::test {

ToolProcess::ToolProcess(const std::vector<std::string> &arguments, Output output)
{
    // [0] is the test's end, [1] the child's.
    int pipeEnds[2];
    if (output == Output::Terminal) {
        if (openpty(&pipeEnds[0], &pipeEnds[1], nullptr, nullptr, nullptr) != 0)
            throw std::runtime_error("no pseudo-terminal");
        fcntl(pipeEnds[0], F_SETFD, FD_CLOEXEC);
        fcntl(pipeEnds[1], F_SETFD, FD_CLOEXEC);
    } else if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe");
    }
    std::vector<std::string> words{KIVORA_CATALOG_TOOL};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (auto &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    // The child starts with default signal handling whatever the test runner set up.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    const int spawned = posix_spawn(&m_pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    m_read = pipeEnds[0];
    if (spawned != 0) {
        m_pid = -1;
        throw std::runtime_error("kivora-catalog did not start");
    }
}

ToolProcess::~ToolProcess()
{
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_read >= 0)
        close(m_read);
}

bool ToolProcess::readSome(std::chrono::milliseconds limit)
{
    pollfd entry{m_read, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(limit.count()));
    if (ready <= 0)
        return ready < 0 && errno == EINTR;
    char buffer[4096];
    const ssize_t count = read(m_read, buffer, sizeof buffer);
    if (count <= 0)
        return count < 0 && errno == EINTR;
    m_output.append(buffer, static_cast<std::size_t>(count));
    return true;
}

bool ToolProcess::waitForOutput(std::string_view text, std::size_t count, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (countOf(m_output, text) < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readSome(left))
            return false;
    }
    return true;
}

void ToolProcess::signal(int number)
{
    kill(m_pid, number);
}

int ToolProcess::finish()
{
    while (readSome(std::chrono::minutes(2))) {
    }
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    m_pid = -1;
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

ToolResult runTool(const std::vector<std::string> &arguments, ToolProcess::Output output)
{
    ToolProcess process(arguments, output);
    ToolResult result;
    result.status = process.finish();
    result.output = process.output();
    return result;
}

std::size_t countOf(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace kivora::test
