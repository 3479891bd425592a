#pragma once

#include "platform/ui/picturefile.h"

#include <QPixmap>
#include <QString>
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
    // An embedded picture (":/pictures/..."), decoded only when first drawn or asked for:
    // most of them stay hidden, or are replaced from the program directory before showing.
    void setBuiltInPicture(const QString &path);
    // A picture file read by its window, decoded when first drawn or asked for.
    void setPictureFile(const PictureFile &file);
    const QPixmap &picture() const;

    void setAutoSize(bool autoSize);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void fitToPicture();

    mutable QPixmap m_picture;
    mutable QString m_builtInPath;
    mutable std::optional<PictureFile> m_file;
    bool m_autoSize = false;
};

} // namespace kivora
