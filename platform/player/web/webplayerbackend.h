#pragma once

#include "platform/player/playerbackend.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QWebEngineView;

namespace kivora {

class PlayerPage;
class PlayerProfile;

// The player's page on Qt WebEngine: one page running Ruffle, in one view that moves
// between its holders.
class WebPlayerBackend final : public QObject, public PlayerBackend
{
    Q_OBJECT
public:
    explicit WebPlayerBackend(Events &events);
    ~WebPlayerBackend() override;

    void attach(QWidget *holder) override;
    QWidget *holder() const override { return m_holder; }
    void detach(QWidget *holder) override;
    QWidget *view() const override;

    void load(int generation, const QUrl &address, const QJsonObject &config) override;
    void stop() override;
    void pause(int generation) override;
    bool resume(int generation) override;
    void prepare(const QJsonObject &config) override;
    void recycle() override;

    QUrl addMovie(const QString &movie) override;
    void removeMovie(const QUrl &address) override;

private:
    void createPage();
    void ensurePage();
    void run(const QString &script);
    void onLoadFinished(bool ok);

    Events &m_events;
    std::shared_ptr<PlayerProfile> m_profile;
    PlayerPage *m_page = nullptr;
    QWebEngineView *m_view = nullptr;
    QPointer<QWidget> m_holder;
    bool m_pageReady = false;
    bool m_pageLoading = false;
    QString m_pendingScript;
    bool m_prepared = false;
    int m_generation = 0; // of the movie the page has, 0 for none
    QJsonObject m_config; // the latest settings, for a fresh page
};

} // namespace kivora
