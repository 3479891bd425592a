#pragma once

#include "platform/player/playerbackend.h"
#include "platform/player/playerchannel.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace kivora {

// The program started again as its own player (see ProcessPlayerBackend): it loads the
// player module, keeps the one page in a window of its own, which the program places inside
// its views, and does what the channel says. It ends when the channel closes.
class PlayerProcess final : public QObject, private PlayerBackend::Events
{
    Q_OBJECT
public:
    // When this process was started as a player, runs it and never returns; otherwise
    // returns at once. Called first thing in main(), before the application object exists.
    static void runIfAsked();

private:
    explicit PlayerProcess(int descriptor);
    ~PlayerProcess() override;

    void onMessage(PlayerChannel::Message message, const QVariantList &arguments);
    void fit(int width, int height);
    void deliverKey(const QVariantList &arguments);

    void reportLoaded(int generation) override;
    void reportFailed(int generation, const QString &reason) override;
    void reportPageLost(const QString &reason) override;

    PlayerChannel *m_channel;
    std::unique_ptr<PlayerBackend> m_backend;
    QString m_failure; // why the module gave no backend
    QWidget m_host;    // the page's holder; its window goes where the program puts it
    QHash<QString, QUrl> m_movies; // the program's address -> the page's
};

} // namespace kivora
