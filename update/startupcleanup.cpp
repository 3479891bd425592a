#include "startupcleanup.h"

#include <unistd.h>

namespace kivora {

void removeLeftOverExecutable(const std::string &programDirectory)
{
    // unlink, not remove: a folder of that name is none of ours.
    ::unlink((programDirectory + previousExecutableName).c_str());
}

} // namespace kivora
