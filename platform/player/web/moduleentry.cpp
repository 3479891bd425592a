// The player module's two entry points, found by name when the program loads it.
#include "platform/player/web/modulehost.h"
#include "platform/player/web/webplayerbackend.h"
#include "platform/player/playeraddresses.h"

#include <QQuickWindow>
#include <QSslConfiguration>
#include <QWebEngineUrlScheme>

namespace kivora {

namespace {

PlayerModuleHost &host()
{
    static PlayerModuleHost host{};
    return host;
}

} // namespace

const PlayerModuleHost &moduleHost()
{
    return host();
}

void setModuleHost(const PlayerModuleHost &given)
{
    host() = given;
}

} // namespace kivora

// Runs once, right after loading and before any page exists: the web engine only accepts
// schemes registered before it starts.
extern "C" Q_DECL_EXPORT void kivora_player_initialize(const kivora::PlayerModuleHost *host)
{
    kivora::setModuleHost(*host);
    QWebEngineUrlScheme scheme(kivora::playerScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed
                    | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
    // The page is drawn in software, as a picture among the window's widgets (see
    // ShockwaveFlash::setUpProcess); a QT_QUICK_BACKEND from the user still wins.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // The relay of streamed movies checks certificates as every https transfer does.
    if (const char *authority = host->authorityFile()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates(QSslCertificate::fromPath(QString::fromLocal8Bit(authority)));
        QSslConfiguration::setDefaultConfiguration(configuration);
    }
}

extern "C" Q_DECL_EXPORT kivora::PlayerBackend *kivora_player_create_backend(kivora::PlayerBackend::Events *events)
{
    return new kivora::WebPlayerBackend(*events);
}
