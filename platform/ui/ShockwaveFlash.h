#pragma once

#include <QString>
#include <QWidget>

namespace kivora {

// The SWF player control of a category window. Creating it is cheap: the web engine and
// the player page start on the first Movie. Setting Movie alone starts and stops playing:
// a local path plays that file, an http address streams it, and a path that names no file
// (the stop path) drops whatever was playing or still loading.
class ShockwaveFlash : public QWidget
{
    Q_OBJECT
public:
    // Throws std::runtime_error when the player cannot work (its assets are missing).
    explicit ShockwaveFlash(QWidget *parent = nullptr);
    ~ShockwaveFlash() override;

    void setMovie(const QString &movie);
    QString movie() const;

    // Makes the player cover its parent's client area, now and when the parent resizes.
    void setAlignClient();

Q_SIGNALS:
    // The page has parsed the movie and started playing it (used by tests and benches).
    void movieLoaded(const QString &movie);
    // The page could not load the movie (missing file, server error, not a SWF).
    void movieFailed(const QString &movie, const QString &reason);
};

} // namespace kivora
