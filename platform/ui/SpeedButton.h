#pragma once

#include <QPushButton>

namespace kivora {

// A hot-spot button without caption or glyph. Flat ones draw nothing at rest and the
// theme's face while hovered or pressed. A click is a left press and release inside it.
// Every pointer movement over it is reported, not only the first.
class SpeedButton : public QPushButton
{
    Q_OBJECT
public:
    explicit SpeedButton(QWidget *parent = nullptr);

Q_SIGNALS:
    void mouseMoved();
    void mouseLeft();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

} // namespace kivora
