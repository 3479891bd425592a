#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

#include <memory>

namespace kivora {

class PlayerEngine;

// The SWF player control of a category window. Creating it is cheap: the web engine starts
// on the first Movie (or prepare). Setting Movie alone starts and stops playing: a local
// path plays that file, an http address streams it, and a path that names no file (the
// stop path) drops whatever was playing or still loading.
//
// All controls share one page (see PlayerEngine): the one that plays last holds it. A
// control that is hidden, with its window or on its own, plays nothing and no sound; shown
// again, it starts its movie anew. When no window with a player has been shown for a while,
// the controls let the page go (see PlayerRest).
class ShockwaveFlash : public QWidget
{
    Q_OBJECT
public:
    // Throws std::runtime_error when the player cannot work (its assets are missing).
    explicit ShockwaveFlash(QWidget *parent = nullptr);
    ~ShockwaveFlash() override;

    // Prepares the process for the web engine that the first player loads: its settings are
    // read from the environment, some of them by the toolkit. main() must call it first,
    // before the QApplication exists.
    static void setUpProcess();

    // Where the page and Ruffle are read from; ":/kivora/player" (embedded) by default.
    // Tests point it at an empty folder to simulate a build without the player's assets.
    static void setAssetsRoot(const QString &root);
    static QString assetsRoot();

    // Optional: starts the web engine and Ruffle ahead of the first Movie (for instance when
    // the window that holds the player is shown), so the first movie starts at once too.
    void prepare();

    void setMovie(const QString &movie);
    QString movie() const;

    // Makes the player cover its parent's client area, now and when the parent resizes.
    void setAlignClient();

    // Whether this control holds the shared page now (used by tests and benches).
    bool holdsEngine() const;

Q_SIGNALS:
    // The page has parsed the movie and started playing it (used by tests and benches).
    void movieLoaded(const QString &movie);
    // The page could not load the movie (missing file, server error, not a SWF).
    void movieFailed(const QString &movie, const QString &reason);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    bool useEngine();
    void letEngineGo();
    void failLater(const QString &reason);
    void play();
    void releaseMovieAddress();
    void fillParent();
    void onPageLoaded(int generation);
    void onPageFailed(int generation, const QString &reason);
    void failCurrent(const QString &reason);

    QString m_movie;
    int m_generation = 0;
    bool m_settled = true;    // the current movie was reported loaded or failed
    bool m_playable = false;  // m_movie names a file or an http address
    bool m_suspended = false; // hidden while its movie played; it starts again when shown
    bool m_alignClient = false;

    std::shared_ptr<PlayerEngine> m_engine;
    QString m_engineFailure; // why the engine could not be made
    QUrl m_movieAddress;
};

} // namespace kivora
