// The launcher as it stands: its size, place and shape, where each control lies and which
// one the pointer meets, its pictures and what the gauge draws.
#include "tests/app/launcherfixture.h"
#include "tests/app/windowtestmain.h"

#include "platform/ui/SpeedButton.h"

#include <QFrame>
#include <QImage>
#include <QScreen>

#include <limits>

using namespace kivora;
using namespace kivora::test;

class TestUmainLayout : public LauncherFixture
{
    Q_OBJECT
private Q_SLOTS:
    void windowProperties();
    void placedOnVirtualDesktopAtFirstShowingOnly();
    void controlGeometry_data();
    void controlGeometry();
    void controlStacking();
    void pointerGoesToTopmostControl_data();
    void pointerGoesToTopmostControl();
    void pictures();
    void startState();
    void hotSpotsDrawNothingAtRest();

    void region_data();
    void region();
    void regionMadeAnewOnEveryShowing();

    void gaugeValueAndText_data();
    void gaugeValueAndText();
    void gaugeDrawing();
};

void TestUmainLayout::windowProperties()
{
    QVERIFY(mainForm->isWindow());
    QVERIFY(!mainForm->parentWidget());
    QVERIFY(mainForm->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(mainForm->size(), QSize(845, 628));
    QCOMPARE(mainForm->minimumSize(), QSize(845, 628));
    QCOMPARE(mainForm->maximumSize(), QSize(845, 628));
    QCOMPARE(mainForm->frameGeometry().size(), QSize(845, 628));
    QCOMPARE(mainForm->windowTitle(), QStringLiteral("mainForm"));
    // Given once the launcher has shown (the test case shows it first).
    QTRY_VERIFY(mainForm->windowIcon().availableSizes().contains(QSize(256, 256)));
    QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(256, 256)));
    QCOMPARE(mainForm->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(mainForm->font().pixelSize(), 11);
    // The label and the gauge's text use the window's font.
    for (QWidget *control : {static_cast<QWidget *>(mainForm->Label1), static_cast<QWidget *>(mainForm->Gauge1)}) {
        QCOMPARE(control->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(control->font().pixelSize(), 11);
    }
}

void TestUmainLayout::placedOnVirtualDesktopAtFirstShowingOnly()
{
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    const QPoint centred(std::max(desktop.left(), desktop.left() + desktop.width() / 2 - 845 / 2),
                         std::max(desktop.top(), desktop.top() + desktop.height() / 2 - 628 / 2));
    QCOMPARE(mainForm->pos(), centred);

    mainForm->hide();
    mainForm->move(centred + QPoint(11, 13));
    mainForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainForm));
    QCOMPARE(mainForm->pos(), centred + QPoint(11, 13));
    mainForm->hide();
    mainForm->move(centred);
    mainForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainForm));
}

void TestUmainLayout::controlGeometry_data()
{
    QTest::addColumn<QWidget *>("control");
    QTest::addColumn<QWidget *>("parent");
    QTest::addColumn<QRect>("rect");

    QWidget *window = mainForm;
    QWidget *panel = mainForm->Panel1;
    QTest::newRow("Image1") << static_cast<QWidget *>(mainForm->Image1) << window << QRect(0, 0, 845, 628);
    QTest::newRow("SpeedButton1") << static_cast<QWidget *>(mainForm->SpeedButton1) << window << QRect(783, 294, 44, 41);
    QTest::newRow("Panel1") << panel << window << QRect(72, 56, 704, 515);
    QTest::newRow("Image2") << static_cast<QWidget *>(mainForm->Image2) << panel << QRect(1, 1, 702, 513);

    const QRect hotSpots[15] = {
        {}, {}, {},
        {88, 296, 105, 115}, {289, 390, 98, 91}, {456, 408, 94, 86}, {32, 210, 93, 96},
        {96, 8, 104, 104}, {147, 118, 88, 102}, {272, 88, 106, 89}, {520, 32, 107, 108},
        {435, 131, 106, 89}, {547, 176, 86, 90}, {561, 272, 106, 102}, {336, 216, 110, 102},
    };
    const QRect pictures[15] = {
        {}, {}, {},
        {88, 296, 105, 115}, {289, 390, 98, 86}, {456, 408, 94, 86} /* the size of 10.png */, {32, 210, 93, 96},
        {96, 8, 104, 104}, {147, 118, 88, 102}, {272, 88, 106, 89}, {520, 32, 107, 108},
        {435, 131, 106, 89}, {546, 177, 83, 90}, {561, 278, 105, 96}, {336, 210, 110, 108},
    };
    for (int number = 3; number <= 14; ++number) {
        QTest::addRow("Image%d", number) << static_cast<QWidget *>(mainForm->image(number)) << panel << pictures[number];
    }
    for (int number = 3; number <= 14; ++number) {
        QTest::addRow("SpeedButton%d", number) << static_cast<QWidget *>(mainForm->hotSpot(number)) << panel
                                              << hotSpots[number];
    }
    QTest::newRow("Label1") << static_cast<QWidget *>(mainForm->Label1) << panel << QRect(561, 488, 120, 13);
    QTest::newRow("Gauge1") << static_cast<QWidget *>(mainForm->Gauge1) << panel << QRect(0, 500, 705, 16);
}

void TestUmainLayout::controlGeometry()
{
    QFETCH(QWidget *, control);
    QFETCH(QWidget *, parent);
    QFETCH(QRect, rect);
    QCOMPARE(control->parentWidget(), parent);
    QCOMPARE(control->geometry(), rect);
}

void TestUmainLayout::controlStacking()
{
    // Within one parent a later control lies over an earlier one.
    auto order = [](QWidget *parent) {
        QList<QWidget *> widgets;
        for (QObject *child : parent->children()) {
            if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow())
                widgets << static_cast<QWidget *>(child);
        }
        return widgets;
    };
    const QList<QWidget *> windowControls{mainForm->Image1, mainForm->SpeedButton1, mainForm->Panel1};
    QCOMPARE(order(mainForm), windowControls);

    QList<QWidget *> panelControls{mainForm->Image2};
    for (int number = 3; number <= 14; ++number)
        panelControls << mainForm->image(number);
    for (int number = 3; number <= 14; ++number)
        panelControls << mainForm->hotSpot(number);
    panelControls << mainForm->Label1 << mainForm->Gauge1;
    QCOMPARE(order(mainForm->Panel1), panelControls);

    QCOMPARE(mainForm->Panel1->frameShape(), QFrame::Panel);
    QCOMPARE(mainForm->Panel1->frameShadow(), QFrame::Raised);
    QCOMPARE(mainForm->Panel1->lineWidth(), 1);
    QCOMPARE(mainForm->Panel1->contentsRect(), mainForm->Image2->geometry());

    // The gauge reaches one column and one row past the panel and is clipped there.
    QCOMPARE(mainForm->Gauge1->visibleRegion().boundingRect(), QRect(0, 0, 704, 15));
}

void TestUmainLayout::pointerGoesToTopmostControl_data()
{
    QTest::addColumn<QPoint>("point"); // in the window
    QTest::addColumn<QString>("control");

    QTest::newRow("frame") << QPoint(30, 300) << "Image1";
    QTest::newRow("close button") << QPoint(805, 314) << "SpeedButton1";
    QTest::newRow("scene") << inWindow(onScene) << "Image2";
    for (int number = 3; number <= 14; ++number)
        QTest::addRow("site %d over its picture", number) << inWindow(onSite[number]) << QStringLiteral("SpeedButton%1").arg(number);
    // The three overlaps, at their corners, and the points just beyond them.
    const struct { QPoint point; int owner; } overlaps[] = {
        {{88, 296}, 6}, {{124, 296}, 6}, {{88, 305}, 6}, {{124, 305}, 6}, {{125, 300}, 3}, {{100, 306}, 3}, {{87, 300}, 6},
        {{520, 131}, 11}, {{540, 131}, 11}, {{520, 139}, 11}, {{540, 139}, 11}, {{541, 135}, 10}, {{530, 140}, 11}, {{530, 130}, 10},
        {{435, 216}, 14}, {{445, 216}, 14}, {{435, 219}, 14}, {{445, 219}, 14}, {{446, 218}, 11}, {{440, 220}, 14}, {{440, 215}, 11},
    };
    for (const auto &overlap : overlaps)
        QTest::addRow("(%d,%d)", overlap.point.x(), overlap.point.y())
            << inWindow(overlap.point) << QStringLiteral("SpeedButton%1").arg(overlap.owner);
    QTest::newRow("Image14 above its hot-spot") << inWindow({391, 212}) << "Image14";
    QTest::newRow("Image12 left of its hot-spot") << inWindow({546, 200}) << "Image12";
    QTest::newRow("gauge over the scene") << inWindow({10, 505}) << "Gauge1";
}

void TestUmainLayout::pointerGoesToTopmostControl()
{
    QFETCH(QPoint, point);
    QFETCH(QString, control);
    for (int number = 3; number <= 14; ++number)
        mainForm->image(number)->show();
    QWidget *found = mainForm->childAt(point);
    QVERIFY(found);
    QString name = found->objectName();
    if (found == mainForm->Image1)
        name = QStringLiteral("Image1");
    else if (found == mainForm->Image2)
        name = QStringLiteral("Image2");
    QCOMPARE(name, control);
}

void TestUmainLayout::pictures()
{
    const QImage frame = mainForm->Image1->picture().toImage();
    QCOMPARE(frame.size(), QSize(845, 628));
    QVERIFY(frame.hasAlphaChannel());
    QCOMPARE(qAlpha(frame.pixel(0, 0)), 0);         // margin
    QCOMPARE(qAlpha(frame.pixel(422, 314)), 0);     // screen area
    QCOMPARE(qAlpha(frame.pixel(805, 314)), 255);   // the round button on the rim
    QCOMPARE(mainForm->Image2->picture().size(), QSize(702, 513));
    for (int number = 3; number <= 14; ++number) {
        if (number == 5)
            continue;
        QVERIFY2(mainForm->image(number)->picture().hasAlphaChannel(), qPrintable(QString::number(number)));
    }
    QCOMPARE(mainForm->image(5)->picture().size(), QSize(94, 86));
}

void TestUmainLayout::startState()
{
    for (int number = 3; number <= 14; ++number)
        QVERIFY(mainForm->image(number)->isHidden());
    QVERIFY(mainForm->Label1->isHidden());
    QVERIFY(mainForm->Gauge1->isVisible());
    QCOMPARE(mainForm->Gauge1->text(), QStringLiteral("0%"));
    for (int number = 3; number <= 14; ++number) {
        SpeedButton *button = mainForm->hotSpot(number);
        QVERIFY(button->isFlat());
        QVERIFY(button->text().isEmpty());
        QVERIFY(button->icon().isNull());
    }
    QVERIFY(!mainForm->SpeedButton1->isFlat());
    QVERIFY(mainForm->SpeedButton1->text().isEmpty());
    QVERIFY(mainForm->SpeedButton1->icon().isNull());
}

void TestUmainLayout::hotSpotsDrawNothingAtRest()
{
    const QRect site = mainForm->hotSpot(7)->geometry();
    const auto panelPixels = [&] { return mainForm->Panel1->grab(site).toImage(); };

    const QImage atRest = panelPixels();
    mainForm->hotSpot(7)->hide();
    const QImage withoutButton = panelPixels();
    mainForm->hotSpot(7)->show();
    QCOMPARE(atRest, withoutButton);

    // While hovered the face is drawn over the highlight picture.
    moveTo(onSite[7]);
    QVERIFY(mainForm->image(7)->isVisible());
    QTRY_VERIFY(mainForm->hotSpot(7)->underMouse());
    const QImage hovered = panelPixels();
    mainForm->hotSpot(7)->hide();
    const QImage highlightOnly = panelPixels();
    mainForm->hotSpot(7)->show();
    QVERIFY(highlightOnly != withoutButton);
    QVERIFY(hovered != highlightOnly);

    // The close button shows a face at rest.
    const QRect close = mainForm->SpeedButton1->geometry();
    const QImage closeAtRest = mainForm->grab(close).toImage();
    mainForm->SpeedButton1->hide();
    const QImage frameOnly = mainForm->grab(close).toImage();
    mainForm->SpeedButton1->show();
    QVERIFY(closeAtRest != frameOnly);
}

void TestUmainLayout::region_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("inside");

    // Strips along the left and top edges.
    QTest::newRow("left strip") << QPoint(0, 314) << false;
    QTest::newRow("left strip, last column") << QPoint(4, 314) << false;
    QTest::newRow("first column inside") << QPoint(5, 314) << true;
    QTest::newRow("top strip") << QPoint(422, 0) << false;
    QTest::newRow("top strip, last row") << QPoint(422, 4) << false;
    QTest::newRow("first row inside") << QPoint(422, 5) << true;
    QTest::newRow("last column") << QPoint(844, 314) << true;
    QTest::newRow("last row") << QPoint(422, 627) << true;
    QTest::newRow("centre") << QPoint(422, 314) << true;
    QTest::newRow("close button") << QPoint(805, 314) << true;
    // The corners follow an ellipse 80 wide and 90 high.
    const QPoint corners[] = {{5, 5}, {844, 5}, {5, 627}, {844, 627}};
    const QPoint inward[] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (int i = 0; i < 4; ++i) {
        const QPoint c = corners[i];
        const QPoint d = inward[i];
        QTest::addRow("corner %d itself", i) << c << false;
        QTest::addRow("corner %d, clearly cut", i) << c + QPoint(8 * d.x(), 10 * d.y()) << false;
        QTest::addRow("corner %d, clearly kept", i) << c + QPoint(16 * d.x(), 18 * d.y()) << true;
        QTest::addRow("corner %d, edge where the curve ends", i) << c + QPoint(0, 45 * d.y()) << true;
        QTest::addRow("corner %d, edge before the curve ends", i) << c + QPoint(0, 30 * d.y()) << false;
        QTest::addRow("corner %d, top or bottom where the curve ends", i) << c + QPoint(40 * d.x(), 0) << true;
        QTest::addRow("corner %d, top or bottom before the curve ends", i) << c + QPoint(25 * d.x(), 0) << false;
    }
}

void TestUmainLayout::region()
{
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    QCOMPARE(mainForm->mask().contains(point), inside);
}

void TestUmainLayout::regionMadeAnewOnEveryShowing()
{
    const QRegion shaped = mainForm->mask();
    QVERIFY(!shaped.isEmpty());
    // Four-fold symmetric about the window's centre of the shaped area.
    QCOMPARE(shaped.boundingRect(), QRect(5, 5, 840, 623));
    mainForm->clearMask();
    mainForm->hide();
    mainForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainForm));
    QCOMPARE(mainForm->mask(), shaped);
}

void TestUmainLayout::gaugeValueAndText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("text");

    QTest::newRow("far below") << -1000 << 1 << "0%";
    QTest::newRow("zero") << 0 << 1 << "0%";
    QTest::newRow("minimum") << 1 << 1 << "0%";
    QTest::newRow("first step") << 2 << 2 << "1%";
    QTest::newRow("truncated, not rounded") << 50 << 50 << "49%";
    QTest::newRow("just below the top") << 99 << 99 << "98%";
    QTest::newRow("maximum") << 100 << 100 << "100%";
    QTest::newRow("above") << 101 << 100 << "100%";
    QTest::newRow("int max") << std::numeric_limits<int>::max() << 100 << "100%";
    QTest::newRow("int min") << std::numeric_limits<int>::min() << 1 << "0%";
}

void TestUmainLayout::gaugeValueAndText()
{
    QFETCH(int, value);
    QFETCH(int, kept);
    QFETCH(QString, text);
    TGauge *gauge = mainForm->Gauge1;
    gauge->setProgress(57);
    gauge->setProgress(value);
    QCOMPARE(gauge->progress(), kept);
    QCOMPARE(gauge->text(), text);
}

void TestUmainLayout::gaugeDrawing()
{
    TGauge *gauge = mainForm->Gauge1;
    const auto pixels = [gauge] { return gauge->grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const QColor silver(0xc0, 0xc0, 0xc0);
    const QColor lime(0x00, 0xff, 0x00);

    gauge->setProgress(1);
    QImage image = pixels();
    QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
    QCOMPARE(image.pixelColor(704, 15), QColor(Qt::black));
    QCOMPARE(image.pixelColor(3, 7), silver);
    // The text is drawn inverted: on silver its strokes are dark grey, never black.
    int darkest = 255;
    for (int x = 300; x < 405; ++x) {
        for (int y = 1; y < 15; ++y)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    }
    QVERIFY2(darkest >= 40 && darkest <= 110, qPrintable(QString::number(darkest)));

    gauge->setProgress(51); // 50 %: half of the 703 inner columns
    image = pixels();
    QCOMPARE(image.pixelColor(1 + 351 - 1, 1), lime);
    QCOMPARE(image.pixelColor(1 + 351 + 1, 1), silver);

    gauge->setProgress(100);
    image = pixels();
    QCOMPARE(image.pixelColor(703, 7), lime);
    // On lime the inverted strokes turn magenta.
    bool magenta = false;
    for (int x = 300; x < 405 && !magenta; ++x) {
        for (int y = 1; y < 15 && !magenta; ++y) {
            const QColor c = image.pixelColor(x, y);
            magenta = c.red() > 200 && c.green() < 60 && c.blue() > 200;
        }
    }
    QVERIFY(magenta);
}

KIVORA_WINDOW_TEST_MAIN(TestUmainLayout)

#include "tst_umainlayout.moc"
