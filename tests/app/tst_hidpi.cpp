// The windows on a screen of twice the pixel density (QT_SCALE_FACTOR=2): every picture is
// drawn from a picture of twice the pixels, and the logical geometry, regions and hot-spots
// are those of an ordinary screen. Run once per scale: the ordinary run writes the geometry
// to KIVORA_GEOMETRY_FILE, the sharper run compares with it.
#include "tests/app/scratchprogramdirectory.h"
#include "tests/app/windowtestmain.h"
#include "platform/ui/TImage.h"
#include "app/startup.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegion>
#include <QTest>

using namespace kivora;

namespace {

QString describe(const QRect &rect)
{
    return QStringLiteral("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// Every window's size and region, and every child's place, one line each, in a fixed order.
QStringList geometry()
{
    QStringList lines;
    QList<QWidget *> windows = QApplication::topLevelWidgets();
    std::sort(windows.begin(), windows.end(),
              [](QWidget *a, QWidget *b) { return a->objectName() < b->objectName(); });
    for (QWidget *window : windows) {
        if (window->objectName().isEmpty())
            continue;
        lines << window->objectName() + QStringLiteral(" size ") + describe(QRect(QPoint(), window->size()));
        for (const QRect &rect : window->mask())
            lines << window->objectName() + QStringLiteral(" region ") + describe(rect);
        for (QWidget *child : window->findChildren<QWidget *>()) {
            if (!child->objectName().isEmpty() && !child->isWindow())
                lines << window->objectName() + QLatin1Char('.') + child->objectName() + QLatin1Char(' ')
                             + describe(child->geometry());
        }
    }
    return lines;
}

} // namespace

class TestHiDpi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_directory.isValid());
        QVERIFY(m_directory.layOutPictures());
        createWindows();
    }

    void everyPictureMatchesTheScreen()
    {
        const qreal ratio = qApp->devicePixelRatio();
        int pictures = 0;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            for (TImage *image : window->findChildren<TImage *>()) {
                if (image->picture().isNull())
                    continue;
                const QString name = window->objectName() + QLatin1Char('.') + image->objectName();
                QCOMPARE_EQ(image->picture().devicePixelRatio(), ratio);
                QVERIFY2(image->picture().size() == image->picture().deviceIndependentSize().toSize() * ratio,
                         qPrintable(name));
                ++pictures;
            }
        }
        // The frame, the scene, the highlights and the update picture, and two per category.
        QVERIFY2(pictures >= 3 + 11 + 2 * 11, qPrintable(QString::number(pictures)));
    }

    void geometryIsTheOrdinaryScreens()
    {
        const QString path = qEnvironmentVariable("KIVORA_GEOMETRY_FILE");
        if (path.isEmpty())
            QSKIP("KIVORA_GEOMETRY_FILE names no file");
        const QStringList lines = geometry();
        QFile file(path);
        if (qApp->devicePixelRatio() == 1.0) {
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(lines.join(QLatin1Char('\n')).toUtf8());
            return;
        }
        QVERIFY2(file.open(QIODevice::ReadOnly), "the ordinary screen's run comes first");
        const QStringList ordinary = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        QCOMPARE(lines, ordinary);
    }

    void cleanupTestCase() { destroyWindows(); }

private:
    ScratchProgramDirectory m_directory;
};

KIVORA_WINDOW_TEST_MAIN(TestHiDpi)

#include "tst_hidpi.moc"
