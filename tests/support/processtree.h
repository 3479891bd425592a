#pragma once

#include <string_view>
#include <vector>

#include <sys/types.h>

namespace kivora::test {

// The processes pid has started, read from /proc: its children, or every process under it.
std::vector<pid_t> childProcesses(pid_t pid);
std::vector<pid_t> processesUnder(pid_t pid);

// Whether pid has a file whose path holds name mapped (a library, say).
bool mapsFile(pid_t pid, std::string_view name);

} // namespace kivora::test
