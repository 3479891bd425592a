#pragma once

#include <QRectF>

class QPainter;

namespace kivora {

// Draws the prop of one island site inside the site's box. The same drawing
// serves the scene and the site's highlight picture, so both line up exactly.
class SitePainter
{
public:
    static void paint(QPainter &painter, int site, const QRectF &box);

private:
    static void storyHouse(QPainter &painter);
    static void school(QPainter &painter);
    static void lighthouse(QPainter &painter);
    static void pavilion(QPainter &painter);
    static void songCloud(QPainter &painter);
    static void scroll(QPainter &painter);
    static void pinyinBlocks(QPainter &painter);
    static void globeBalloon(QPainter &painter);
    static void bulbAndMicroscope(QPainter &painter);
    static void abcTower(QPainter &painter);
    static void gamePad(QPainter &painter);
    static void puzzleAndCrayons(QPainter &painter);
};

} // namespace kivora
