#pragma once

#include "tools/swf/bytes.h"
#include "tools/swf/swfmovie.h"

#include <QColor>
#include <QFont>

class QString;

namespace kivora::swf {

struct TitleCardOptions {
    Compression compression = Compression::Zlib;
    bool withSound = true;
};

// Builds a short animated SWF that shows a title over a coloured card:
// the title as vector outlines, drifting stars and bubbles, and a chime.
// Precondition: a QGuiApplication exists (font outlines need it).
class TitleCard {
public:
    TitleCard();

    // The family the outlines actually come from, for diagnostics.
    QString fontFamily() const;

    Bytes build(const QString &title, const QColor &background, const TitleCardOptions &options = {}) const;

    static constexpr int stageWidth = 800; // pixels
    static constexpr int stageHeight = 600;
    static constexpr int framesPerSecond = 24;
    static constexpr int frameCount = 72;
    static constexpr int introFrames = 12; // the title grows in, then the rest loops

private:
    QFont m_font;
};

} // namespace kivora::swf
