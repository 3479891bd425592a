#pragma once

#include <QColor>
#include <QFile>
#include <QImage>
#include <QScreen>
#include <QWidget>

namespace kivora::test {

// The fixture card movie (data/card.swf) and what a player shows of it: the card lies above
// its title, letterboxed and centred.
inline const QColor cardColour(0xF2, 0x6B, 0x1D);

inline QByteArray cardMovie()
{
    QFile file(QStringLiteral(KIVORA_PLAYER_TEST_DATA "/card.swf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The player draws in a window of its own process: what the X server shows at the widget's
// place tells what a child sees.
inline bool showsCard(QWidget &widget)
{
    const QPoint origin = widget.mapTo(widget.window(), QPoint(0, 0));
    const QImage image = widget.screen()
                             ->grabWindow(widget.window()->winId(), origin.x(), origin.y(), widget.width(), widget.height())
                             .toImage();
    const QColor shown = image.pixelColor(image.width() / 2, image.height() * 3 / 10);
    return qAbs(shown.red() - cardColour.red()) < 40 && qAbs(shown.green() - cardColour.green()) < 40
        && qAbs(shown.blue() - cardColour.blue()) < 40;
}

} // namespace kivora::test
