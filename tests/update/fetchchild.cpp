// Starts an executable replacement in a program directory and waits to be killed.
//   update_fetch_child PROGRAM_DIRECTORY VERSION_LINE SHA256
#include "update/executablereplacement.h"
#include "update/serverversion.h"

#include <cstdio>
#include <string>

#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 4)
        return 2;
    kivora::ExecutableReplacement replacement(argv[1]);
    const std::string line = argv[2];
    replacement.start(kivora::ServerVersion{line, std::string(argv[3])}, std::u16string(line.begin(), line.end()), 0);
    std::puts("started");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
