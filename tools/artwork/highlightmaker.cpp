#include "tools/artwork/highlightmaker.h"

#include "tools/artwork/canvas.h"
#include "tools/artwork/cartoon.h"
#include "tools/artwork/sitepainter.h"
#include "tools/artwork/sitetable.h"

#include <QPainter>
#include <QVector>

#include <algorithm>

namespace kivora {

namespace {

// One horizontal and one vertical running-box pass over an 8-bit plane.
QVector<int> boxBlur(const QVector<int> &plane, int width, int height, int radius)
{
    QVector<int> horizontal(plane.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int k = -radius; k <= radius; ++k)
                sum += plane[y * width + std::clamp(x + k, 0, width - 1)];
            horizontal[y * width + x] = sum / (2 * radius + 1);
        }
    }
    QVector<int> result(plane.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int k = -radius; k <= radius; ++k)
                sum += horizontal[std::clamp(y + k, 0, height - 1) * width + x];
            result[y * width + x] = sum / (2 * radius + 1);
        }
    }
    return result;
}

QVector<int> dilate(const QVector<int> &plane, int width, int height, int radius)
{
    QVector<int> result(plane.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int best = 0;
            for (int dy = -radius; dy <= radius; ++dy) {
                for (int dx = -radius; dx <= radius; ++dx) {
                    if (dx * dx + dy * dy > radius * radius)
                        continue;
                    const int sx = x + dx;
                    const int sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= width || sy >= height)
                        continue;
                    best = std::max(best, plane[sy * width + sx]);
                }
            }
            result[y * width + x] = best;
        }
    }
    return result;
}

} // namespace

QImage HighlightMaker::make(const Site &site, qreal scale)
{
    const QSize size = site.picture.size();
    QImage art = makeCanvas(size, scale, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    {
        QPainter painter(&art);
        SitePainter::paint(painter, site.number, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    brighten(art);
    caption(art, site.caption);

    QImage result = glow(art);
    {
        QPainter painter(&result);
        painter.drawImage(0, 0, art);
    }
    return result.convertToFormat(QImage::Format_ARGB32);
}

void HighlightMaker::brighten(QImage &image)
{
    // Lift every colour a sixth of the way to white: the site "lights up".
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const auto lift = [](int v) { return v + (255 - v) * 16 / 100; };
            line[x] = qRgba(lift(qRed(c)), lift(qGreen(c)), lift(qBlue(c)), qAlpha(c));
        }
    }
}

QImage HighlightMaker::glow(const QImage &shape)
{
    const int width = shape.width();
    const int height = shape.height();
    QVector<int> alpha(width * height);
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(shape.constScanLine(y));
        for (int x = 0; x < width; ++x)
            alpha[y * width + x] = qAlpha(line[x]);
    }
    // The glow's reach is in logical units, so it looks the same at every scale.
    const qreal scale = shape.devicePixelRatio();
    QVector<int> halo = dilate(alpha, width, height, qRound(3 * scale));
    halo = boxBlur(halo, width, height, qRound(2 * scale));
    halo = boxBlur(halo, width, height, qRound(2 * scale));

    QImage result = makeCanvas(shape.deviceIndependentSize().toSize(), scale, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int a = std::min(255, halo[y * width + x] * 5 / 4) * 230 / 255;
            line[x] = qPremultiply(qRgba(255, 241, 118, a));
        }
    }
    return result;
}

void HighlightMaker::caption(QImage &image, const QString &text)
{
    const QSizeF logical = image.deviceIndependentSize();
    const qreal maxWidth = logical.width() - 10;
    qreal pixelSize = 21;
    while (pixelSize > 10
           && Cartoon::textPath(QRectF(), text, pixelSize).boundingRect().width() > maxWidth)
        pixelSize -= 0.5;
    const QRectF band(0, logical.height() - pixelSize - 9, logical.width(), pixelSize + 2);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = Cartoon::textPath(band, text, pixelSize);
    QPen edge(QColor(194, 24, 91), 6);
    edge.setJoinStyle(Qt::RoundJoin);
    painter.setPen(edge);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path.translated(0, 1));
    QPen rim(Qt::white, 3);
    rim.setJoinStyle(Qt::RoundJoin);
    painter.setPen(rim);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(194, 24, 91));
    painter.drawPath(path);
}

} // namespace kivora
