#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QUrl>

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
// The web engine behind it sits in the player module (see playermodule.h), loaded with the
// first engine: the launcher starts without it.
class PlayerEngine : public QObject
{
    Q_OBJECT
public:
    // Throws std::runtime_error when the player module cannot be loaded.
    static std::shared_ptr<PlayerEngine> acquire();
    // Whether the engine (and so the web engine) exists now.
    static bool exists();

    // Moves the view into holder, filling it, and drops the previous holder's movie. The
    // page's reports go to every control; each keeps to its own generations.
    virtual void attach(QWidget *holder) = 0;
    virtual QWidget *holder() const = 0;
    // For a holder that goes: when it holds the view, the view and the page go with it.
    virtual void detach(QWidget *holder) = 0;
    // The view the page draws in, inside its holder; null before the first attach.
    virtual QWidget *view() const = 0;

    // Replaces whatever plays by the movie at address (from addMovie).
    virtual void load(int generation, const QUrl &address, const QJsonObject &config) = 0;
    // Drops the movie: nothing shown, no sound, also while it is still loading.
    virtual void stop() = 0;
    // Pauses the movie of that generation, sound included, while its control is out of sight.
    virtual void pause(int generation) = 0;
    // Lets it play on; false when the page no longer has it (stopped, replaced or lost).
    virtual bool resume(int generation) = 0;
    // Starts the page and Ruffle ahead of the first movie.
    virtual void prepare(const QJsonObject &config) = 0;
    // Replaces the page by a fresh one, started and prepared, in a new renderer process. A
    // page that played many movies keeps what Ruffle took for them; the old process gives
    // all of it back when it ends. For when the holder's window closes.
    virtual void recycle() = 0;

    // Precondition: movie is an http(s) address or the path of an existing file. Answers
    // the address under which the page reads it, until removeMovie.
    virtual QUrl addMovie(const QString &movie) = 0;
    virtual void removeMovie(const QUrl &address) = 0;

Q_SIGNALS:
    void movieLoaded(int generation);
    void movieFailed(int generation, const QString &reason);
    // The page could not be loaded, or its process ended: whatever was loading or playing is gone.
    void pageLost(const QString &reason);

protected:
    PlayerEngine() = default;
};

} // namespace kivora
