#pragma once

#include <QHash>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

// Serves the bare page what the player's own handler would: Ruffle from the player's assets
// and local movies, nothing else. The baseline needs no code of the player module.
class BareSchemeHandler : public QWebEngineUrlSchemeHandler
{
public:
    // The address under which the page reads the movie file at path.
    QUrl addMovie(const QString &path);
    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    QHash<QString, QString> m_movies; // address path -> file
};
