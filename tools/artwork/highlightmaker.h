#pragma once

#include <QImage>

namespace kivora {

struct Site;

// The lit-up picture of one site: its prop brightened, ringed by a soft glow and
// captioned, transparent everywhere else.
class HighlightMaker
{
public:
    static QImage make(const Site &site, qreal scale);

private:
    static void brighten(QImage &image);
    static QImage glow(const QImage &shape);
    static void caption(QImage &image, const QString &text);
};

} // namespace kivora
