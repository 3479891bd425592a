#include "platform/player/embeddedview.h"

#include <QKeyEvent>

namespace kivora {

EmbeddedView::EmbeddedView(QWidget *holder)
    : QWidget(holder)
{
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

void EmbeddedView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_channel)
        m_channel->send(PlayerChannel::Resize, {width(), height()});
}

void EmbeddedView::forward(QKeyEvent *event)
{
    if (m_channel)
        m_channel->send(PlayerChannel::Key, {int(event->type()), event->key(), int(event->modifiers()), event->text(),
                                             event->isAutoRepeat()});
}

} // namespace kivora
