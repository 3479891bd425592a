#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>

class QLoggingCategory;
class QWidget;

namespace kivora {

// What passes between the program and the player module. Header-only, abstract classes and
// plain data: neither side takes a symbol from the other, so the module is linked on its own
// and whatever it lacks fails its build, not the first movie.

// The page behind the program's one PlayerEngine: the web engine in the module, or a test's
// stand-in. Its calls mean what PlayerEngine's do.
class PlayerBackend
{
public:
    // Where the page's reports go; the engine that owns the backend.
    class Events
    {
    public:
        virtual void reportLoaded(int generation) = 0;
        virtual void reportFailed(int generation, const QString &reason) = 0;
        virtual void reportPageLost(const QString &reason) = 0;

    protected:
        ~Events() = default;
    };

    virtual ~PlayerBackend() = default;

    virtual void attach(QWidget *holder) = 0;
    virtual QWidget *holder() const = 0;
    virtual void detach(QWidget *holder) = 0;
    virtual QWidget *view() const = 0;
    virtual void load(int generation, const QUrl &address, const QJsonObject &config) = 0;
    virtual void stop() = 0;
    virtual void pause(int generation) = 0;
    virtual bool resume(int generation) = 0;
    virtual void prepare(const QJsonObject &config) = 0;
    virtual void recycle() = 0;
    virtual QUrl addMovie(const QString &movie) = 0;
    virtual void removeMovie(const QUrl &address) = 0;
};

// What the program hands the module when it initialises it: everything the module uses of
// the program.
struct PlayerModuleHost
{
    const QLoggingCategory &(*log)();
    // Where the page and Ruffle are read from now (tests move it).
    QString (*assetsRoot)();
    // The font file the page may read under a name, or "".
    QString (*fontFile)(const QString &name);
    // A certificate authority file that the relay trusts instead of the system's store, or
    // null (always null in a build without tests).
    const char *(*authorityFile)();
};

// The module's two entry points, found by these names.
inline constexpr char playerModuleInitializeName[] = "kivora_player_initialize";
inline constexpr char playerModuleCreateName[] = "kivora_player_create_backend";
using PlayerModuleInitialize = void (*)(const PlayerModuleHost *host);
using PlayerModuleCreate = PlayerBackend *(*)(PlayerBackend::Events *events);

} // namespace kivora
