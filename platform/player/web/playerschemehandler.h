#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

class QNetworkAccessManager;
class QNetworkReply;
class QWebEngineUrlRequestJob;

namespace kivora {

// Everything the player page reads comes through here: its own files (from the assets
// root), the CJK font, and the movies. A movie is reachable only while a player has it
// added; a local one is read from its file, an http one is relayed from the server.
// Runs on the GUI thread (Qt WebEngine calls scheme handlers there).
class PlayerSchemeHandler : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT
public:
    explicit PlayerSchemeHandler(QObject *parent = nullptr);
    ~PlayerSchemeHandler() override;

    // Precondition: movie is an http(s) address or the path of an existing file.
    // Returns the address under which the page reads it; files beside it (or below it)
    // are reachable under the same address's folder, so movies can load their parts.
    QUrl addMovie(const QString &movie);
    // Makes the address unreachable and abandons its transfers still running.
    void removeMovie(const QUrl &address);

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    struct Movie
    {
        QUrl source;   // http(s) address or file URL of the movie itself
        QString name;  // the last segment of its address on our scheme
        QList<QPointer<QNetworkReply>> relays;
    };

    void serveAsset(QWebEngineUrlRequestJob *job, const QString &relativePath);
    void serveFont(QWebEngineUrlRequestJob *job, const QString &name);
    void serveMovie(QWebEngineUrlRequestJob *job, const QString &idAndPath);
    void serveFile(QWebEngineUrlRequestJob *job, const QString &path);
    void relay(QWebEngineUrlRequestJob *job, Movie &movie, const QUrl &address);

    QNetworkAccessManager *m_network;
    QHash<quint64, Movie> m_movies;
    quint64 m_nextMovieId = 1;
};

} // namespace kivora
