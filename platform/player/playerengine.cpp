#include "platform/player/playerengine.h"

#include "platform/player/playermodule.h"
#include "platform/player/processplayerbackend.h"
#include "platform/player/sharedinstance.h"

#include <QGuiApplication>

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
    Events &events = *this;
    if (factory)
        m_backend = factory(events);
    else if (QGuiApplication::platformName() == QLatin1String("xcb"))
        m_backend = std::make_unique<ProcessPlayerBackend>(events);
    else // the player's window can be put into ours only on X
        m_backend = PlayerModule::carried().createBackend(events);
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
