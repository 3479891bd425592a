#include "tools/swf/titlecard.h"

#include "tools/swf/jingle.h"
#include "tools/swf/pathconverter.h"
#include "tools/swf/shapebuilder.h"
#include "tools/swf/swftags.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kivora::swf {

namespace {

constexpr double pi = std::numbers::pi;
constexpr double twip = twipsPerPixel;
constexpr int sampleRate = 11025;

// Character ids and display depths of the card's parts.
constexpr std::uint16_t panelId = 1;
constexpr std::uint16_t titleId = 2;
constexpr std::uint16_t starId = 3;
constexpr std::uint16_t bubbleId = 4;
constexpr std::uint16_t soundId = 5;
constexpr std::uint16_t bubbleDepth = 2; // 2..5, behind the panel
constexpr std::uint16_t panelDepth = 10;
constexpr std::uint16_t starDepth = 11; // 11..14
constexpr std::uint16_t titleDepth = 20;
constexpr int decorationCount = 4;

constexpr double panelWidth = 680;
constexpr double panelHeight = 320;
constexpr double textWidth = 600; // room for the title inside the panel
constexpr double textHeight = 260;
constexpr double basePixelSize = 96;

Rgba rgba(const QColor &colour, int alpha = 255)
{
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue()), static_cast<std::uint8_t>(alpha)};
}

std::int32_t toTwips(double pixels)
{
    return static_cast<std::int32_t>(std::lround(pixels * twip));
}

// Arc around (cx, cy) in twips, two quadratics per quarter turn.
void arcTo(ShapeBuilder &shape, double cx, double cy, double radius, double from, double to)
{
    const int segments = std::max(1, static_cast<int>(std::ceil(std::abs(to - from) / (pi / 4))));
    const double step = (to - from) / segments;
    const double controlRadius = radius / std::cos(step / 2);
    for (int i = 1; i <= segments; ++i) {
        const double mid = from + step * (i - 0.5);
        const double end = from + step * i;
        shape.quadTo(cx + controlRadius * std::cos(mid), cy + controlRadius * std::sin(mid),
                     cx + radius * std::cos(end), cy + radius * std::sin(end));
    }
}

ShapeBuilder roundedPanel()
{
    const double w = panelWidth * twip / 2;
    const double h = panelHeight * twip / 2;
    const double r = 40 * twip;
    ShapeBuilder shape;
    shape.moveTo(-w + r, -h);
    shape.lineTo(w - r, -h);
    arcTo(shape, w - r, -h + r, r, -pi / 2, 0);
    shape.lineTo(w, h - r);
    arcTo(shape, w - r, h - r, r, 0, pi / 2);
    shape.lineTo(-w + r, h);
    arcTo(shape, -w + r, h - r, r, pi / 2, pi);
    shape.lineTo(-w, -h + r);
    arcTo(shape, -w + r, -h + r, r, pi, 3 * pi / 2);
    shape.closeContour();
    return shape;
}

ShapeBuilder star()
{
    ShapeBuilder shape;
    for (int i = 0; i < 10; ++i) {
        const double radius = (i % 2 == 0 ? 30 : 13) * twip;
        const double angle = -pi / 2 + i * pi / 5;
        if (i == 0)
            shape.moveTo(radius * std::cos(angle), radius * std::sin(angle));
        else
            shape.lineTo(radius * std::cos(angle), radius * std::sin(angle));
    }
    shape.closeContour();
    return shape;
}

ShapeBuilder bubble()
{
    const double radius = 20 * twip;
    ShapeBuilder shape;
    shape.moveTo(radius, 0);
    arcTo(shape, 0, 0, radius, 0, 2 * pi);
    shape.closeContour();
    return shape;
}

// Splits a long title in two, at the space nearest its middle when it has one.
QStringList layoutLines(const QString &title, const QFontMetricsF &metrics)
{
    if (metrics.horizontalAdvance(title) <= textWidth * 1.5 || title.size() < 2)
        return {title};
    const qsizetype middle = title.size() / 2;
    qsizetype best = -1;
    for (qsizetype i = 1; i + 1 < title.size(); ++i) {
        if (title.at(i) == QLatin1Char(' ') && (best < 0 || std::abs(i - middle) < std::abs(best - middle)))
            best = i;
    }
    if (best > 0)
        return {title.left(best), title.mid(best + 1)};
    qsizetype cut = middle;
    if (title.at(cut).isLowSurrogate())
        ++cut; // never split a surrogate pair
    return {title.left(cut), title.mid(cut)};
}

ShapeBuilder titleOutline(const QString &title, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const QStringList lines = layoutLines(title, metrics);
    QPainterPath path;
    double baseline = metrics.ascent();
    for (const QString &line : lines) {
        QPainterPath linePath;
        linePath.addText(0, baseline, font, line);
        // Centre each line on x = 0.
        linePath.translate(-metrics.horizontalAdvance(line) / 2, 0);
        path.addPath(linePath);
        baseline += metrics.lineSpacing();
    }
    ShapeBuilder shape;
    const QRectF box = path.boundingRect();
    if (box.isEmpty())
        return shape;
    const double scale = std::min({1.0, textWidth / box.width(), textHeight / box.height()});
    QTransform toTwips;
    toTwips.scale(scale * twip, scale * twip);
    toTwips.translate(-box.center().x(), -box.center().y());
    appendPainterPath(shape, path, toTwips);
    return shape;
}

double positiveFraction(double value)
{
    return value - std::floor(value);
}

void defineShape(SwfMovie &movie, ShapeBuilder shape, std::uint16_t id, const Rgba &fill)
{
    movie.addTag(TagCode::DefineShape3, shape.defineShape3Body(id, fill));
}

} // namespace

TitleCard::TitleCard()
    : m_font(QStringLiteral("Noto Sans CJK SC"))
{
    m_font.setPixelSize(static_cast<int>(basePixelSize));
    m_font.setWeight(QFont::Bold);
    m_font.setStyleStrategy(QFont::PreferOutline);
}

QString TitleCard::fontFamily() const
{
    return QFontInfo(m_font).family();
}

Bytes TitleCard::build(const QString &title, const QColor &background, const TitleCardOptions &options) const
{
    SwfMovie movie(Rect{0, toTwips(stageWidth), 0, toTwips(stageHeight)}, framesPerSecond);
    movie.addTag(TagCode::FileAttributes, fileAttributesBody());
    movie.addTag(TagCode::SetBackgroundColor, backgroundColourBody(rgba(background)));

    defineShape(movie, roundedPanel(), panelId, Rgba{255, 255, 255, 230});
    defineShape(movie, titleOutline(title, m_font), titleId, rgba(background.darker(260)));
    defineShape(movie, star(), starId, rgba(background.lighter(170), 230));
    defineShape(movie, bubble(), bubbleId, Rgba{255, 255, 255, 110});
    if (options.withSound)
        movie.addTag(TagCode::DefineSound, defineSoundBody(soundId, sampleRate, synthesizeJingle(sampleRate)));

    const double centreX = stageWidth / 2.0;
    const double centreY = stageHeight / 2.0;
    const double starX[decorationCount] = {95, 705, 95, 705};
    const double starY[decorationCount] = {85, 85, 515, 515};
    const double bubbleX[decorationCount] = {50, 245, 560, 750};
    const int loopLength = frameCount - introFrames;

    for (int frame = 0; frame < frameCount; ++frame) {
        const bool first = frame == 0;
        // Phase of the looping part; the intro runs the same motion backwards in time.
        const double phase = static_cast<double>(frame - introFrames) / loopLength;
        auto place = [&movie, first](std::uint16_t depth, std::uint16_t id, const Matrix &matrix) {
            movie.addTag(TagCode::PlaceObject2, placeObject2Body(depth, first ? std::optional(id) : std::nullopt, matrix));
        };

        for (int i = 0; i < decorationCount; ++i) {
            const double rise = positiveFraction(phase + i / 4.0 + 0.1 * i);
            const double y = stageHeight + 40 - rise * (stageHeight + 80);
            const double x = bubbleX[i] + 15 * std::sin(2 * pi * (phase * 2 + i / 3.0));
            place(static_cast<std::uint16_t>(bubbleDepth + i), bubbleId,
                  Matrix::scaledRotated(0.7 + 0.15 * i, 0, toTwips(x), toTwips(y)));
        }
        if (first)
            place(panelDepth, panelId, Matrix::translation(toTwips(centreX), toTwips(centreY)));
        for (int i = 0; i < decorationCount; ++i) {
            const double angle = 2 * pi * phase * (i % 2 == 0 ? 1 : -1);
            const double x = starX[i] + 12 * std::cos(angle + i);
            const double y = starY[i] + 12 * std::sin(angle + i);
            const double scale = 1.0 + 0.15 * std::sin(4 * pi * phase + i);
            place(static_cast<std::uint16_t>(starDepth + i), starId, Matrix::scaledRotated(scale, angle / 2, toTwips(x), toTwips(y)));
        }
        if (frame <= introFrames) {
            // Grow in with a small overshoot, then stay still.
            const double t = static_cast<double>(frame) / introFrames;
            const double overshoot = 1.7;
            const double eased = 1 + (overshoot + 1) * std::pow(t - 1, 3) + overshoot * std::pow(t - 1, 2);
            const double scale = 0.2 + 0.8 * eased;
            place(titleDepth, titleId, Matrix::scaledRotated(scale, 0, toTwips(centreX), toTwips(centreY)));
        }
        if (first && options.withSound)
            movie.addTag(TagCode::StartSound, startSoundBody(soundId));
        if (frame == frameCount - 1)
            movie.addTag(TagCode::DoAction, gotoAndPlayBody(static_cast<std::uint16_t>(introFrames)));
        movie.showFrame();
    }
    return movie.serialize(options.compression);
}

} // namespace kivora::swf
