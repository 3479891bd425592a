#pragma once

#include <QRegion>

class QWidget;

namespace kivora {

// The region of a rounded rectangle from (left, top) to (right, bottom), the right and
// bottom edges excluded, with corner ellipses of the given width and height.
QRegion roundRectRegion(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);

// Places a window centred on the whole virtual desktop (all monitors), never beyond its
// left or top edge.
void centreOnDesktop(QWidget *window);

} // namespace kivora
