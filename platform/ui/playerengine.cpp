#include "platform/ui/playerengine.h"

#include "platform/ui/playermodule.h"
#include "platform/ui/sharedinstance.h"

namespace kivora {

namespace {

SharedInstance<PlayerEngine> &sharedEngine()
{
    static SharedInstance<PlayerEngine> engine;
    return engine;
}

} // namespace

std::shared_ptr<PlayerEngine> PlayerEngine::acquire()
{
    return sharedEngine().acquire([] { return PlayerModule::createEngine(); });
}

bool PlayerEngine::exists()
{
    return sharedEngine().exists();
}

} // namespace kivora
