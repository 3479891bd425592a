// Starts an executable replacement in a program directory and waits to be killed.
//   update_fetch_child PROGRAM_DIRECTORY VERSION_LINE
#include "update/executablereplacement.h"
#include "update/serverversion.h"

#include <cstdio>
#include <string>

#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    kivora::ExecutableReplacement replacement(argv[1]);
    const std::string line = argv[2];
    replacement.start(kivora::ServerVersion{line, std::nullopt}, std::u16string(line.begin(), line.end()), 0);
    std::puts("started");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
