// The player module's two entry points, found by name when the program loads it.
#include "platform/player/webplayerengine.h"
#include "platform/net/testauthority.h"
#include "platform/ui/playerassets.h"

#include <QQuickWindow>
#include <QSslConfiguration>
#include <QWebEngineUrlScheme>

// Runs once, right after loading and before any page exists: the web engine only accepts
// schemes registered before it starts.
extern "C" Q_DECL_EXPORT void kivora_player_initialize()
{
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
    if (const char *authority = kivora::testAuthorityFile()) {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates(QSslCertificate::fromPath(QString::fromLocal8Bit(authority)));
        QSslConfiguration::setDefaultConfiguration(configuration);
    }
}

extern "C" Q_DECL_EXPORT kivora::PlayerEngine *kivora_player_create_engine()
{
    return new kivora::WebPlayerEngine;
}
