#include "bench/support/bareschemehandler.h"

#include "platform/player/playerassets.h"

#include <QFile>
#include <QFileInfo>
#include <QWebEngineUrlRequestJob>

QUrl BareSchemeHandler::addMovie(const QString &path)
{
    const QString address = QStringLiteral("/movie/%1/%2").arg(m_movies.size()).arg(QFileInfo(path).fileName());
    m_movies.insert(address, path);
    return QUrl(kivora::playerOrigin() + address.mid(1));
}

void BareSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString path = job->requestUrl().path();
    const QString assets = QStringLiteral("/assets/");
    QString file = m_movies.value(path);
    if (file.isEmpty() && path.startsWith(assets) && !path.contains(QLatin1String("..")))
        file = kivora::playerAssetsRoot() + QLatin1Char('/') + path.mid(assets.size());
    auto *reply = new QFile(file, job);
    if (file.isEmpty() || !reply->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QByteArray type = file.endsWith(QLatin1String(".wasm")) ? "application/wasm"
        : file.endsWith(QLatin1String(".js"))                     ? "text/javascript"
                                                                  : "application/octet-stream";
    job->reply(type, reply);
}
