// Pictures decoded ahead of time or on first use must be the same pictures, with the same
// failures, as pictures decoded when they are read.
#include "platform/ui/TImage.h"
#include "platform/ui/picturefile.h"
#include "tests/app/scratchprogramdirectory.h"
#include "tests/app/windowtestmain.h"

#include <QBuffer>
#include <QImage>

#include <stdexcept>

using namespace kivora;

namespace {

QByteArray pngOf(QColor colour, QSize size = QSize(8, 6))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QString failureOf(const QString &path)
{
    try {
        loadPictureFile(path);
    } catch (const std::runtime_error &failure) {
        return QString::fromUtf8(failure.what());
    }
    return {};
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void prefetchedPicturesFollowTheFileOnDisk()
    {
        ScratchProgramDirectory directory;
        QVERIFY(directory.write(QStringLiteral("same.png"), pngOf(Qt::red)));
        QVERIFY(directory.write(QStringLiteral("replaced.png"), pngOf(Qt::red)));
        QVERIFY(directory.write(QStringLiteral("broken.png"), pngOf(Qt::red).left(40)));
        QVERIFY(directory.write(QStringLiteral("removed.png"), pngOf(Qt::red)));
        const QString same = directory.filePath(QStringLiteral("same.png"));
        const QString replaced = directory.filePath(QStringLiteral("replaced.png"));
        const QString broken = directory.filePath(QStringLiteral("broken.png"));
        const QString removed = directory.filePath(QStringLiteral("removed.png"));
        prefetchPictures({same, replaced, broken, removed});

        // Changed after the prefetch read it: the file as it is now counts.
        QVERIFY(directory.write(QStringLiteral("replaced.png"), pngOf(Qt::blue, QSize(5, 4))));
        QVERIFY(QFile::remove(removed));

        const QPixmap samePicture = loadPictureFile(same);
        QCOMPARE(samePicture.size(), QSize(8, 6));
        QCOMPARE(samePicture.toImage().pixelColor(2, 2), QColor(Qt::red));
        const QPixmap replacedPicture = loadPictureFile(replaced);
        QCOMPARE(replacedPicture.size(), QSize(5, 4));
        QCOMPARE(replacedPicture.toImage().pixelColor(2, 2), QColor(Qt::blue));

        // Failures read as they do without a prefetch.
        QVERIFY(failureOf(broken).startsWith(QStringLiteral("Cannot open file \"%1\".").arg(broken)));
        QCOMPARE(failureOf(removed),
                 QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(removed));
    }

    void builtInPictureSizesItselfBeforeItIsDecoded()
    {
        TImage image;
        image.setAutoSize(true);
        image.setBuiltInPicture(QStringLiteral(":/pictures/highlight3.png"));
        QCOMPARE(image.size(), QSize(105, 115));
        QCOMPARE(image.picture().deviceIndependentSize().toSize(), QSize(105, 115));

        // A picture set later replaces the built-in one for good.
        image.setBuiltInPicture(QStringLiteral(":/pictures/highlight3.png"));
        image.setPicture(QPixmap::fromImage(QImage::fromData(pngOf(Qt::green))));
        QCOMPARE(image.size(), QSize(8, 6));
        QCOMPARE(image.picture().toImage().pixelColor(1, 1), QColor(Qt::green));
    }
};

KIVORA_WINDOW_TEST_MAIN(TestPictures)
#include "tst_pictures.moc"
