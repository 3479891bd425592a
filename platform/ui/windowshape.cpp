#include "platform/ui/windowshape.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace kivora {

QRegion roundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    const QRect box(left, top, right - left, bottom - top);
    QRegion region(box);
    const int rx = ellipseWidth / 2;
    const int ry = ellipseHeight / 2;
    if (rx <= 0 || ry <= 0)
        return region;

    // Cut each corner to its quarter ellipse, one pixel row at a time.
    for (int dy = 0; dy < ry; ++dy) {
        const double y = ry - dy - 0.5;
        const double inside = rx * std::sqrt(std::max(0.0, 1.0 - (y * y) / (double(ry) * ry)));
        const int cut = rx - static_cast<int>(std::lround(inside));
        if (cut <= 0)
            continue;
        region -= QRegion(box.left(), box.top() + dy, cut, 1);
        region -= QRegion(box.right() + 1 - cut, box.top() + dy, cut, 1);
        region -= QRegion(box.left(), box.bottom() - dy, cut, 1);
        region -= QRegion(box.right() + 1 - cut, box.bottom() - dy, cut, 1);
    }
    return region;
}

void centreOnDesktop(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect desktop = screen->virtualGeometry();
    const int left = std::max(desktop.left(), desktop.left() + desktop.width() / 2 - window->width() / 2);
    const int top = std::max(desktop.top(), desktop.top() + desktop.height() / 2 - window->height() / 2);
    window->move(left, top);
}

} // namespace kivora
