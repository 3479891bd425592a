#pragma once

#include "platform/player/playerbackend.h"
#include "platform/player/playerchannel.h"

#include <QPointer>
#include <QWidget>

class QProcess;

namespace kivora {

class EmbeddedView;

// The page in a process of its own: the program started again as a player (see
// PlayerProcess), whose window this backend puts into a view in the holder. The program
// itself never loads the web engine, and when the engine goes the process ends: all of the
// page's memory, the engine's own included, goes back to the system. Only this side moves
// the player's window between windows, so no window of the program goes while the player's
// is still inside it.
class ProcessPlayerBackend final : public QObject, public PlayerBackend
{
    Q_OBJECT
public:
    // Throws std::runtime_error when the process cannot be started.
    explicit ProcessPlayerBackend(Events &events);
    ~ProcessPlayerBackend() override;

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

protected:
    // The holder's window: the toolkit destroys a window's X window when it closes, so the
    // player's leaves it as it hides and comes back as it shows.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startProcess();
    // A process that has ended is started again by the next order that needs the page.
    void ensureProcess();
    void retireProcess();
    // Puts the player's window into the view, once both exist.
    void placeWindow();
    // Takes the player's window out of the view, off the screen, before the view goes.
    void parkWindow();
    void onMessage(PlayerChannel::Message message, const QVariantList &arguments);
    void onProcessEnded(const QString &reason);

    Events &m_events;
    QProcess *m_process = nullptr;
    PlayerChannel *m_channel = nullptr;
    QPointer<QWidget> m_holder;
    QPointer<EmbeddedView> m_view; // in the holder; the player's window goes inside it
    quint32 m_playerWindow = 0;    // the player process's window, once it has said which
    // The page's movie as far as the orders sent tell: its generation, and the order that
    // started it, to start it over should the page have dropped it while paused.
    int m_generation = 0;
    QVariantList m_loadOrder;
    quint64 m_nextMovieId = 1;
};

} // namespace kivora
