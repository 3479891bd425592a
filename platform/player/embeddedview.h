#pragma once

#include "platform/player/playerchannel.h"

#include <QPointer>
#include <QWidget>

namespace kivora {

// The window the player's process draws in, inside a holder: the player's X window goes into
// this one's. Keys that reach it (the pointer elsewhere in the category window) go on to the
// page.
class EmbeddedView final : public QWidget
{
public:
    explicit EmbeddedView(QWidget *holder);

    // The channel to the process that draws in it now, if any.
    void setChannel(PlayerChannel *channel) { m_channel = channel; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override { forward(event); }
    void keyReleaseEvent(QKeyEvent *event) override { forward(event); }

private:
    void forward(QKeyEvent *event);

    QPointer<PlayerChannel> m_channel;
};

} // namespace kivora
