#pragma once

#include "platform/player/playerbackend.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QWidget;

namespace kivora {

// The one web page that plays movies for every player control of the program. A page costs
// a renderer process and a Ruffle instance of its own, hundreds of megabytes; a child who
// taps through the island must not pay that once per window. The page's view lives in
// whichever control holds it, and only that control's movie plays. The engine is made when
// the first control needs it and goes after the last control lets it go: when its control
// goes, or when the player rests (see PlayerRest).
//
// The page itself is a PlayerBackend: by default in the player's own process (see
// ProcessPlayerBackend), so that the launcher never loads the web engine and the page's
// memory all goes back when the engine goes.
class PlayerEngine final : public QObject, private PlayerBackend::Events
{
    Q_OBJECT
public:
    // Throws std::runtime_error when the page cannot be made.
    static std::shared_ptr<PlayerEngine> acquire();
    // Whether the engine (and so the web engine) exists now.
    static bool exists();

    // Where engines get their page from; an empty factory restores the player's process.
    // Tests put a stand-in here, or the module in their own process. The factory may throw
    // std::runtime_error.
    using BackendFactory = std::function<std::unique_ptr<PlayerBackend>(PlayerBackend::Events &)>;
    static void setBackendFactoryForTesting(BackendFactory factory);

    ~PlayerEngine() override;

    // Moves the view into holder, filling it, and drops the previous holder's movie. The
    // page's reports go to every control; each keeps to its own generations.
    void attach(QWidget *holder) { m_backend->attach(holder); }
    QWidget *holder() const { return m_backend->holder(); }
    // For a holder that goes: when it holds the view, the view and the page go with it.
    void detach(QWidget *holder) { m_backend->detach(holder); }
    // The view the page draws in, inside its holder; null before the first attach.
    QWidget *view() const { return m_backend->view(); }

    // Replaces whatever plays by the movie at address (from addMovie).
    void load(int generation, const QUrl &address, const QJsonObject &config)
    {
        m_backend->load(generation, address, config);
    }
    // Drops the movie: nothing shown, no sound, also while it is still loading.
    void stop() { m_backend->stop(); }
    // Pauses the movie of that generation, sound included, while its control is out of sight.
    void pause(int generation) { m_backend->pause(generation); }
    // Lets it play on; false when the page no longer has it (stopped, replaced or lost).
    bool resume(int generation) { return m_backend->resume(generation); }
    // Starts the page and Ruffle ahead of the first movie.
    void prepare(const QJsonObject &config) { m_backend->prepare(config); }
    // Replaces the page by a fresh one, started and prepared, in a new renderer process. A
    // page that played many movies keeps what Ruffle took for them; the old process gives
    // all of it back when it ends. For when the holder's window closes.
    void recycle() { m_backend->recycle(); }

    // Precondition: movie is an http(s) address or the path of an existing file. Answers
    // the address under which the page reads it, until removeMovie.
    QUrl addMovie(const QString &movie) { return m_backend->addMovie(movie); }
    void removeMovie(const QUrl &address) { m_backend->removeMovie(address); }

Q_SIGNALS:
    void movieLoaded(int generation);
    void movieFailed(int generation, const QString &reason);
    // The page could not be loaded, or its process ended: whatever was loading or playing is gone.
    void pageLost(const QString &reason);

private:
    PlayerEngine();
    void reportLoaded(int generation) override { Q_EMIT movieLoaded(generation); }
    void reportFailed(int generation, const QString &reason) override { Q_EMIT movieFailed(generation, reason); }
    void reportPageLost(const QString &reason) override { Q_EMIT pageLost(reason); }

    std::unique_ptr<PlayerBackend> m_backend;
};

} // namespace kivora
