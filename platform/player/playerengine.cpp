#include "platform/player/playerengine.h"

#include "platform/player/processplayerbackend.h"
#include "platform/player/sharedinstance.h"

namespace kivora {

namespace {

SharedInstance<PlayerEngine> &sharedEngine()
{
    static SharedInstance<PlayerEngine> engine;
    return engine;
}

PlayerEngine::BackendFactory &backendFactory()
{
    static PlayerEngine::BackendFactory factory;
    return factory;
}

} // namespace

PlayerEngine::PlayerEngine()
{
    const BackendFactory &factory = backendFactory();
    m_backend = factory ? factory(*this) : std::make_unique<ProcessPlayerBackend>(static_cast<PlayerBackend::Events &>(*this));
}

PlayerEngine::~PlayerEngine() = default;

std::shared_ptr<PlayerEngine> PlayerEngine::acquire()
{
    return sharedEngine().acquire([] { return new PlayerEngine; });
}

bool PlayerEngine::exists()
{
    return sharedEngine().exists();
}

void PlayerEngine::setBackendFactoryForTesting(BackendFactory factory)
{
    backendFactory() = std::move(factory);
}

} // namespace kivora
