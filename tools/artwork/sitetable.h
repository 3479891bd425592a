#pragma once

#include <QList>
#include <QRect>
#include <QString>

namespace kivora {

// One site of the island: its launcher hot-spot, the rectangle of its highlight
// picture (both in the coordinates of the launcher's panel) and its caption.
struct Site
{
    int number;
    QRect hotSpot;
    QRect picture;
    QString caption;

    // The scene sits one pixel inside the panel's bevel.
    QRect sceneRect() const { return picture.translated(-1, -1); }
};

class SiteTable
{
public:
    static const QList<Site> &all();
    static const Site &site(int number);
};

} // namespace kivora
