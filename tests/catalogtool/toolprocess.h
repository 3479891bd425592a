#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace kivora::test {

// kivora-catalog running as a child process with the given arguments, its standard
// output and error going to one pipe (or one pseudo-terminal) that the test reads.
class ToolProcess
{
public:
    enum class Output { Pipe, Terminal };

    explicit ToolProcess(const std::vector<std::string> &arguments, Output output = Output::Pipe);
    ~ToolProcess();
    ToolProcess(const ToolProcess &) = delete;
    ToolProcess &operator=(const ToolProcess &) = delete;

    // Reads until `text` has appeared `count` times in the output; false when the
    // process ended (or `limit` passed) first.
    bool waitForOutput(std::string_view text, std::size_t count,
                       std::chrono::milliseconds limit = std::chrono::seconds(60));
    void signal(int number);
    // Reads the rest of the output and answers the exit status, or 128 + the signal that
    // ended the process.
    int finish();
    const std::string &output() const { return m_output; }

private:
    bool readSome(std::chrono::milliseconds limit);

    pid_t m_pid = -1;
    int m_read = -1;
    std::string m_output;
};

struct ToolResult
{
    int status = -1;
    std::string output;
};

// Runs kivora-catalog to its end.
ToolResult runTool(const std::vector<std::string> &arguments, ToolProcess::Output output = ToolProcess::Output::Pipe);

std::size_t countOf(std::string_view text, std::string_view part);

} // namespace kivora::test
