#include "tests/support/processtree.h"

#include "tests/support/testfiles.h"

#include <filesystem>
#include <map>
#include <string>

namespace kivora::test {

namespace {

std::multimap<pid_t, pid_t> childrenByParent()
{
    std::multimap<pid_t, pid_t> children;
    std::error_code error;
    for (const auto &entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // The command name may hold spaces and parentheses: the fields follow its last ')'.
        const std::string stat = readFile(entry.path() / "stat");
        const std::size_t fields = stat.rfind(')');
        if (fields == std::string::npos || fields + 4 >= stat.size())
            continue;
        const pid_t parent = static_cast<pid_t>(std::stol(stat.substr(stat.find(' ', fields + 2) + 1)));
        children.emplace(parent, static_cast<pid_t>(std::stol(name)));
    }
    return children;
}

} // namespace

std::vector<pid_t> childProcesses(pid_t pid)
{
    std::vector<pid_t> children;
    const auto all = childrenByParent();
    for (auto [child, end] = all.equal_range(pid); child != end; ++child)
        children.push_back(child->second);
    return children;
}

std::vector<pid_t> processesUnder(pid_t pid)
{
    const auto all = childrenByParent();
    std::vector<pid_t> under;
    for (auto [child, end] = all.equal_range(pid); child != end; ++child)
        under.push_back(child->second);
    for (std::size_t i = 0; i < under.size(); ++i) {
        for (auto [child, end] = all.equal_range(under[i]); child != end; ++child)
            under.push_back(child->second);
    }
    return under;
}

bool mapsFile(pid_t pid, std::string_view name)
{
    return readFile("/proc/" + std::to_string(pid) + "/maps").find(name) != std::string::npos;
}

} // namespace kivora::test
