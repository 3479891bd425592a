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

QByteArray pictureOf(QColor colour, QSize size, const char *format)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray pngOf(QColor colour, QSize size = QSize(8, 6))
{
    return pictureOf(colour, size, "PNG");
}

QByteArray jpegOf(QColor colour)
{
    return pictureOf(colour, QSize(16, 16), "JPEG");
}

template<typename Read>
QString failureOf(const QString &path, Read read)
{
    try {
        read(path);
    } catch (const std::runtime_error &failure) {
        return QString::fromUtf8(failure.what());
    }
    return {};
}

QString failureOf(const QString &path)
{
    return failureOf(path, [](const QString &file) { loadPictureFile(file); });
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

    void pictureFileFailsAsReadingAtOnceDoes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("PNG cut short") << pngOf(Qt::red, QSize(40, 30)).chopped(20);
        QTest::newRow("PNG without its end") << pngOf(Qt::red).chopped(12);
        QTest::newRow("JPEG cut short") << jpegOf(Qt::red).chopped(30);
        QTest::newRow("not a picture") << QByteArray("not a picture");
        QTest::newRow("empty") << QByteArray();
    }

    void pictureFileFailsAsReadingAtOnceDoes()
    {
        // Decoding waits for the first paint only for a whole picture: any other file gives
        // its box as the window is made, with the same words.
        QFETCH(QByteArray, bytes);
        ScratchProgramDirectory directory;
        QVERIFY(directory.write(QStringLiteral("picture.png"), bytes));
        const QString path = directory.filePath(QStringLiteral("picture.png"));
        const QString expected = failureOf(path);
        QVERIFY(expected.startsWith(QStringLiteral("Cannot open file \"%1\".").arg(path)));
        QCOMPARE(failureOf(path, [](const QString &file) { PictureFile::read(file); }), expected);
        QVERIFY(QFile::remove(path));
        QCOMPARE(failureOf(path, [](const QString &file) { PictureFile::read(file); }),
                 QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
    }

    void pictureFileDrawsTheBytesItRead()
    {
        ScratchProgramDirectory directory;
        QVERIFY(directory.write(QStringLiteral("panel.jpg"), jpegOf(Qt::blue)));
        QVERIFY(directory.write(QStringLiteral("background.png"), pngOf(Qt::red)));
        const QString panel = directory.filePath(QStringLiteral("panel.jpg"));
        const QString background = directory.filePath(QStringLiteral("background.png"));
        prefetchPictures({background});
        const PictureFile panelFile = PictureFile::read(panel);
        const PictureFile backgroundFile = PictureFile::read(background);

        // Replaced before the window first shows: the window still draws what it read.
        QVERIFY(directory.write(QStringLiteral("background.png"), pngOf(Qt::green, QSize(5, 4))));
        TImage image;
        image.setPictureFile(backgroundFile);
        QCOMPARE(image.picture().size(), QSize(8, 6));
        QCOMPARE(image.picture().toImage().pixelColor(2, 2), QColor(Qt::red));
        QCOMPARE(panelFile.picture().size(), QSize(16, 16));
        QVERIFY(qAbs(panelFile.picture().toImage().pixelColor(8, 8).blue() - 255) < 8);
        // Read again, the file as it is now counts.
        QCOMPARE(PictureFile::read(background).picture().size(), QSize(5, 4));
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
