#include "platform/ui/SpeedButton.h"

namespace kivora {

SpeedButton::SpeedButton(QWidget *parent)
    : QPushButton(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    // Hot-spots never take the keyboard focus away from the window's controls.
    setFocusPolicy(Qt::NoFocus);
}

void SpeedButton::mouseMoveEvent(QMouseEvent *event)
{
    QPushButton::mouseMoveEvent(event);
    Q_EMIT mouseMoved();
}

void SpeedButton::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    Q_EMIT mouseLeft();
}

} // namespace kivora
