#pragma once

#include <QObject>

#include <memory>

class QWebEngineProfile;

namespace kivora {

class PlayerRequestInterceptor;
class PlayerSchemeHandler;

// The one web profile of all players: off the record (no disk cache, no cookies kept), our
// scheme handler installed, every other address refused, media allowed to start without a
// click. It lives while some player holds it, so it is made when the first player starts
// its page and goes after the last player.
class PlayerProfile : public QObject
{
    Q_OBJECT
public:
    static std::shared_ptr<PlayerProfile> acquire();
    // Whether any player holds the profile now (that is, whether the web engine was started).
    static bool exists();

    ~PlayerProfile() override;

    QWebEngineProfile *profile() const { return m_profile; }
    PlayerSchemeHandler *schemeHandler() const { return m_schemeHandler; }

private:
    PlayerProfile();

    PlayerSchemeHandler *m_schemeHandler;
    PlayerRequestInterceptor *m_interceptor;
    QWebEngineProfile *m_profile;
};

} // namespace kivora
