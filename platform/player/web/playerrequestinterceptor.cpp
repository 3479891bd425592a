#include "platform/player/web/playerrequestinterceptor.h"

#include "platform/player/playeraddresses.h"

#include <QUrl>

namespace kivora {

PlayerRequestInterceptor::PlayerRequestInterceptor(QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
{
}

void PlayerRequestInterceptor::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!isAllowed(info.requestUrl()))
        info.block(true);
}

bool PlayerRequestInterceptor::isAllowed(const QUrl &url)
{
    const QString scheme = url.scheme();
    if (scheme == QLatin1String(playerScheme))
        return url.host() == QLatin1String(playerHost);
    return scheme == QLatin1String("data") || scheme == QLatin1String("blob");
}

} // namespace kivora
