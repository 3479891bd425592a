#include "platform/player/web/playerschemehandler.h"

#include "platform/player/web/modulehost.h"
#include "platform/player/playeraddresses.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QWebEngineUrlRequestJob>

namespace kivora {

namespace {

constexpr int relayTimeoutMs = 30000;

QByteArray mimeTypeOf(const QString &path)
{
    static const QHash<QString, QByteArray> types = {
        {QStringLiteral("html"), "text/html"},
        {QStringLiteral("js"), "text/javascript"},
        {QStringLiteral("wasm"), "application/wasm"},
        {QStringLiteral("swf"), "application/x-shockwave-flash"},
        {QStringLiteral("ttc"), "font/collection"},
        {QStringLiteral("ttf"), "font/ttf"},
        {QStringLiteral("otf"), "font/otf"},
    };
    return types.value(QFileInfo(path).suffix().toLower(), "application/octet-stream");
}

// A relative path that stays inside its folder, or an empty string.
QString containedPath(const QString &relativePath)
{
    const QString cleaned = QDir::cleanPath(relativePath);
    if (cleaned.isEmpty() || cleaned == QLatin1String(".") || cleaned.startsWith(QLatin1String("../"))
        || cleaned == QLatin1String("..") || QDir::isAbsolutePath(cleaned))
        return {};
    return cleaned;
}

bool isRemote(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// What the same-origin policy makes of a redirection to another host, port or scheme.
bool isRefusedRedirection(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::InsecureRedirectError || error == QNetworkReply::ProtocolUnknownError;
}

} // namespace

PlayerSchemeHandler::PlayerSchemeHandler(QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_network(new QNetworkAccessManager(this))
{
    m_network->setTransferTimeout(relayTimeoutMs);
    // A movie reads from its own server alone: a redirection to another host would let it
    // read whatever the family's network serves (Qt's default follows it anywhere).
    m_network->setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
}

PlayerSchemeHandler::~PlayerSchemeHandler()
{
    for (const Movie &movie : std::as_const(m_movies)) {
        for (const QPointer<QNetworkReply> &reply : movie.relays) {
            if (reply)
                reply->abort();
        }
    }
}

QUrl PlayerSchemeHandler::addMovie(const QString &movie)
{
    Movie entry;
    const QUrl address(movie, QUrl::TolerantMode);
    if (isRemote(address)) {
        entry.source = address;
        entry.name = address.fileName();
    } else {
        entry.source = QUrl::fromLocalFile(QFileInfo(movie).absoluteFilePath());
        entry.name = QFileInfo(movie).fileName();
    }
    if (entry.name.isEmpty())
        entry.name = QStringLiteral("movie.swf");
    const quint64 id = m_nextMovieId++;
    m_movies.insert(id, entry);
    return QUrl(playerMoviePrefix() + QString::number(id) + QLatin1Char('/')
                + QString::fromLatin1(QUrl::toPercentEncoding(entry.name)));
}

void PlayerSchemeHandler::removeMovie(const QUrl &address)
{
    const QString prefix = playerMoviePrefix();
    const QString text = address.toString();
    if (!text.startsWith(prefix))
        return;
    const quint64 id = text.mid(prefix.size()).section(QLatin1Char('/'), 0, 0).toULongLong();
    const auto found = m_movies.find(id);
    if (found == m_movies.end())
        return;
    const QList<QPointer<QNetworkReply>> relays = found->relays;
    m_movies.erase(found);
    for (const QPointer<QNetworkReply> &reply : relays) {
        if (reply)
            reply->abort();
    }
}

void PlayerSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (job->requestMethod() != "GET" || url.host() != QLatin1String(playerHost)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString path = url.path(QUrl::FullyDecoded);
    const QString assets = QStringLiteral("/assets/");
    const QString fonts = QStringLiteral("/fonts/");
    const QString movies = QStringLiteral("/movie/");
    if (path.startsWith(assets))
        serveAsset(job, path.mid(assets.size()));
    else if (path.startsWith(fonts))
        serveFont(job, path.mid(fonts.size()));
    else if (path.startsWith(movies))
        serveMovie(job, path.mid(movies.size()));
    else
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

void PlayerSchemeHandler::serveAsset(QWebEngineUrlRequestJob *job, const QString &relativePath)
{
    const QString contained = containedPath(relativePath);
    if (contained.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    serveFile(job, moduleAssetsRoot() + QLatin1Char('/') + contained);
}

void PlayerSchemeHandler::serveFont(QWebEngineUrlRequestJob *job, const QString &name)
{
    const QString file = moduleFontFile(name);
    if (file.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    serveFile(job, file);
}

void PlayerSchemeHandler::serveMovie(QWebEngineUrlRequestJob *job, const QString &idAndPath)
{
    const qsizetype slash = idAndPath.indexOf(QLatin1Char('/'));
    bool isNumber = false;
    const quint64 id = idAndPath.left(slash).toULongLong(&isNumber);
    const auto found = isNumber && slash > 0 ? m_movies.find(id) : m_movies.end();
    if (found == m_movies.end()) {
        // A movie that was dropped (or never added): its reads end here.
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    Movie &movie = *found;
    const QString relativePath = idAndPath.mid(slash + 1);
    const QString contained = containedPath(relativePath);
    if (contained.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }

    if (isRemote(movie.source)) {
        const QUrl address = contained == movie.name
            ? movie.source
            : movie.source.resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(contained, "/"))));
        relay(job, movie, address);
        return;
    }
    const QString file = contained == movie.name
        ? movie.source.toLocalFile()
        : QFileInfo(movie.source.toLocalFile()).absolutePath() + QLatin1Char('/') + contained;
    serveFile(job, file);
}

void PlayerSchemeHandler::serveFile(QWebEngineUrlRequestJob *job, const QString &path)
{
    auto *file = new QFile(path, job);
    if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(mimeTypeOf(path), file);
}

void PlayerSchemeHandler::relay(QWebEngineUrlRequestJob *job, Movie &movie, const QUrl &address)
{
    QNetworkReply *reply = m_network->get(QNetworkRequest(address));
    movie.relays.append(reply);
    QPointer<QWebEngineUrlRequestJob> guardedJob(job);
    // The page gave up the read (or the page is gone): the transfer is of no use any more.
    connect(job, &QObject::destroyed, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this, [this, reply, guardedJob] {
        reply->deleteLater();
        for (Movie &entry : m_movies)
            entry.relays.removeAll(reply);
        if (!guardedJob)
            return;
        if (reply->error() != QNetworkReply::NoError) {
            if (isRefusedRedirection(reply->error()))
                qCDebug(moduleLog).noquote() << "refused the redirection of" << reply->url().toDisplayString() << "to"
                                             << QString::fromLatin1(reply->rawHeader("Location"))
                                             << "(a movie reads from its own server alone)";
            guardedJob->fail(reply->error() == QNetworkReply::OperationCanceledError
                                 ? QWebEngineUrlRequestJob::RequestAborted
                                 : reply->error() == QNetworkReply::ContentNotFoundError
                                     ? QWebEngineUrlRequestJob::UrlNotFound
                                     : QWebEngineUrlRequestJob::RequestFailed);
            return;
        }
        // The whole body is handed over at once: the player reads a movie whole before it
        // starts it, and this way a failed transfer is reported as a failure, not as a movie.
        auto *body = new QBuffer(guardedJob);
        body->setData(reply->readAll());
        body->open(QIODevice::ReadOnly);
        QByteArray mimeType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        if (mimeType.isEmpty())
            mimeType = mimeTypeOf(reply->url().path());
        guardedJob->reply(mimeType.split(';').first().trimmed(), body);
    });
}

} // namespace kivora
