#pragma once

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QWebEngineView;
class QWidget;

namespace kivora {

class PlayerPage;
class PlayerProfile;
class PlayerSchemeHandler;

// The one web page that plays movies for every player control of the program. A page costs
// a renderer process and a Ruffle instance of its own, hundreds of megabytes; a child who
// taps through the island must not pay that once per window. The page's view lives in
// whichever control holds it, and only that control's movie plays. The engine is made when
// the first control needs it and goes after the last control lets it go.
class PlayerEngine : public QObject
{
    Q_OBJECT
public:
    static std::shared_ptr<PlayerEngine> acquire();
    // Whether the engine (and so the web engine) exists now.
    static bool exists();

    ~PlayerEngine() override;

    // Moves the view into holder, filling it, and drops the previous holder's movie. The
    // page's reports go to every control; each keeps to its own generations.
    void attach(QWidget *holder);
    QWidget *holder() const { return m_holder; }
    // For a holder that goes: when it holds the view, the view and the page go with it.
    void detach(QWidget *holder);

    // Replaces whatever plays by the movie at address (an address of our scheme).
    void load(int generation, const QString &address, const QJsonObject &config);
    // Drops the movie: nothing shown, no sound, also while it is still loading.
    void stop();
    // Pauses the movie of that generation, sound included, while its control is out of sight.
    void pause(int generation);
    // Lets it play on; false when the page no longer has it (stopped, replaced or lost).
    bool resume(int generation);
    // Starts the page and Ruffle ahead of the first movie.
    void prepare(const QJsonObject &config);
    // Replaces the page by a fresh one, started and prepared, in a new renderer process. A
    // page that played many movies keeps what Ruffle took for them; the old process gives
    // all of it back when it ends. For when the holder's window closes.
    void recycle();

    PlayerSchemeHandler *schemeHandler() const;
    QWebEngineView *view() const { return m_view; }

Q_SIGNALS:
    void movieLoaded(int generation);
    void movieFailed(int generation, const QString &reason);
    // The page could not be loaded, or its process ended: whatever was loading or playing is gone.
    void pageLost(const QString &reason);

private:
    PlayerEngine();

    void createPage();
    void ensurePage();
    void run(const QString &script);
    void onLoadFinished(bool ok);

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
