#include "platform/player/web/playerprofile.h"

#include "platform/player/playeraddresses.h"
#include "platform/player/web/playerrequestinterceptor.h"
#include "platform/player/web/playerschemehandler.h"
#include "platform/player/sharedinstance.h"

#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace kivora {

namespace {

SharedInstance<PlayerProfile> &sharedProfile()
{
    static SharedInstance<PlayerProfile> profile;
    return profile;
}

} // namespace

std::shared_ptr<PlayerProfile> PlayerProfile::acquire()
{
    return sharedProfile().acquire([] { return new PlayerProfile; });
}

bool PlayerProfile::exists()
{
    return sharedProfile().exists();
}

PlayerProfile::PlayerProfile()
    : m_schemeHandler(new PlayerSchemeHandler(this))
    , m_interceptor(new PlayerRequestInterceptor(this))
    , m_profile(new QWebEngineProfile(this)) // no storage name: off the record
{
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    m_profile->setUrlRequestInterceptor(m_interceptor);
    m_profile->installUrlSchemeHandler(playerScheme, m_schemeHandler);

    QWebEngineSettings *settings = m_profile->settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, false);
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
}

PlayerProfile::~PlayerProfile()
{
    // The profile goes first: it still refers to the handler and the interceptor.
    delete m_profile;
}

} // namespace kivora
