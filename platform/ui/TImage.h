#pragma once

#include <QPixmap>
#include <QWidget>

namespace kivora {

// A picture control: draws its picture unscaled from the top-left corner, clipped to its
// rectangle, with the picture's transparency. With auto-size it takes the picture's size.
class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

    void setAutoSize(bool autoSize);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    bool m_autoSize = false;
};

} // namespace kivora
