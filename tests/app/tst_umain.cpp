#include "tests/support/modalanswerer.h"
#include "tests/app/scratchprogramdirectory.h"
#include "tests/app/windowtestmain.h"

#include "platform/ui/SpeedButton.h"
#include "platform/ui/TGauge.h"
#include "platform/ui/TImage.h"
#include "app/Umain.h"
#include "app/startup.h"

#include "category/Xchangshi.h"
#include "category/chengyu.h"
#include "category/dbpingtu.h"
#include "category/erger.h"
#include "category/gushi.h"
#include "category/gwerger.h"
#include "category/htgushi.h"
#include "category/pinyin.h"
#include "category/wanyouxi.h"
#include "category/xyingyu.h"
#include "category/xyuwen.h"

#include <QBuffer>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <limits>

using namespace kivora;

namespace {

// Points in Panel1's coordinates, each over one site only.
const QPoint onSite[15] = {
    {}, {}, {},
    {150, 360}, {338, 430}, {503, 450}, {70, 250}, {148, 60}, {190, 170},
    {325, 130}, {573, 80}, {490, 175}, {590, 220}, {614, 320}, {391, 267},
};
const QPoint onScene(20, 20);        // the island, no site
const QPoint offPanel(-42, 244);     // the frame beside the screen: window (30, 300)

QWidget *categoryWindow(int hotSpot)
{
    switch (hotSpot) {
    case 3: return htgushiform;
    case 4: return xyuwenForm;
    case 6: return gushiForm;
    case 7: return ergerForm;
    case 8: return chengyuform;
    case 9: return pinyinForm;
    case 10: return gwergerForm;
    case 11: return XchangshiForm;
    case 12: return xyingyuForm;
    case 13: return wanyouxiForm;
    case 14: return dbpingtuform;
    default: return nullptr;
    }
}

QStringList visibleCategoryWindows()
{
    QStringList names;
    for (int number = 3; number <= 14; ++number) {
        if (QWidget *window = categoryWindow(number); window && window->isVisible())
            names << window->objectName();
    }
    return names;
}

// Records, in order, every highlight picture and the status label being shown or hidden:
// "+7" / "-7" for Image7, "+L" / "-L" for Label1.
class VisibilityLog : public QObject
{
public:
    void watch(QWidget *widget, const QString &name)
    {
        m_names.insert(widget, name);
        widget->installEventFilter(this);
    }
    QStringList entries;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            entries << u'+' + m_names.value(watched);
        else if (event->type() == QEvent::Hide)
            entries << u'-' + m_names.value(watched);
        return false;
    }

private:
    QHash<QObject *, QString> m_names;
};

QImage plainPicture(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

QByteArray pngOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TestUmain : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void windowProperties();
    void placedOnVirtualDesktopAtFirstShowingOnly();
    void controlGeometry_data();
    void controlGeometry();
    void controlStacking();
    void pointerGoesToTopmostControl_data();
    void pointerGoesToTopmostControl();
    void pictures();
    void startState();

    void hoverSequences_data();
    void hoverSequences();
    void hotSpotsDrawNothingAtRest();
    void updateSiteLeaveHidesLabel();
    void updatePictureReadOnEveryMove();
    void updatePictureMissingOnMove();
    void updatePictureMissingAtShowing();
    void updatePictureReadAtEveryShowing();

    void clicks_data();
    void clicks();
    void clickOnOpenWindowBringsItToFront();

    void region_data();
    void region();
    void regionMadeAnewOnEveryShowing();

    void gaugeValueAndText_data();
    void gaugeValueAndText();
    void gaugeDrawing();

    void closeEndsTheLoopWithStatusZero();

private:
    QPoint inWindow(QPoint panelPoint) const { return mainForm->Panel1->mapTo(mainForm, panelPoint); }
    void moveTo(QPoint panelPoint) { QTest::mouseMove(mainForm, inWindow(panelPoint)); }
    QString pathOf10() const { return m_directory.filePath(QStringLiteral("10.png")); }

    ScratchProgramDirectory m_directory;
    test::ModalAnswerer m_boxes;
    VisibilityLog m_log;
};

void TestUmain::initTestCase()
{
    QVERIFY(m_directory.isValid());
    QVERIFY(m_directory.layOutPictures());
    createWindows();
    mainForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(mainForm));
    QCOMPARE(m_boxes.seen().size(), 0u);
    for (int number = 3; number <= 14; ++number)
        m_log.watch(mainForm->image(number), QString::number(number));
    m_log.watch(mainForm->Label1, QStringLiteral("L"));
}

void TestUmain::init()
{
    QVERIFY(m_directory.copyPicture(QStringLiteral("10.png"), QStringLiteral("10.png")));
    // Release anything a failed row left pressed, then park the pointer on the frame.
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (QGuiApplication::mouseButtons() & button)
            QTest::mouseRelease(mainForm, button, {}, inWindow(offPanel));
    }
    moveTo(offPanel);
    for (int number = 3; number <= 14; ++number) {
        if (QWidget *window = categoryWindow(number))
            window->hide();
        mainForm->image(number)->hide();
    }
    mainForm->Label1->hide();
    mainForm->Gauge1->setProgress(1);
    mainForm->activateWindow();
    m_log.entries.clear();
    m_boxes.clear();
}

void TestUmain::cleanupTestCase()
{
    destroyWindows();
}

void TestUmain::windowProperties()
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

void TestUmain::placedOnVirtualDesktopAtFirstShowingOnly()
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

void TestUmain::controlGeometry_data()
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

void TestUmain::controlGeometry()
{
    QFETCH(QWidget *, control);
    QFETCH(QWidget *, parent);
    QFETCH(QRect, rect);
    QCOMPARE(control->parentWidget(), parent);
    QCOMPARE(control->geometry(), rect);
}

void TestUmain::controlStacking()
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

void TestUmain::pointerGoesToTopmostControl_data()
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

void TestUmain::pointerGoesToTopmostControl()
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

void TestUmain::pictures()
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

void TestUmain::startState()
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

void TestUmain::hoverSequences_data()
{
    QTest::addColumn<QList<QPoint>>("path"); // Panel1 coordinates
    QTest::addColumn<QStringList>("log");

    const auto site = [](int number) { return onSite[number]; };
    QTest::newRow("one site") << QList<QPoint>{site(7)} << QStringList{"+7"};
    QTest::newRow("moves within a site change nothing")
        << QList<QPoint>{site(7), site(7) + QPoint(1, 0), site(7) + QPoint(2, 3)} << QStringList{"+7"};
    QTest::newRow("straight onto the neighbour") << QList<QPoint>{site(7), site(8)} << QStringList{"+7", "-7", "+8"};
    QTest::newRow("back and forth")
        << QList<QPoint>{site(10), site(11), site(10)} << QStringList{"+10", "-10", "+11", "-11", "+10"};
    QTest::newRow("across touching edges 13 to 12")
        << QList<QPoint>{{600, 272}, {600, 265}} << QStringList{"+13", "-13", "+12"};
    QTest::newRow("across touching edges 4 to 5")
        << QList<QPoint>{{386, 450}, {456, 450}} << QStringList{"+4", "-4", "+5"};
    QTest::newRow("site to scene") << QList<QPoint>{site(9), onScene} << QStringList{"+9", "-9"};
    QTest::newRow("site off the panel") << QList<QPoint>{site(14), offPanel} << QStringList{"+14", "-14"};
    QTest::newRow("update site off the panel") << QList<QPoint>{site(5), offPanel} << QStringList{"+5", "-5"};
    QTest::newRow("from 3 into its overlap with 6")
        << QList<QPoint>{site(3), {100, 300}} << QStringList{"+3", "-3", "+6"};
    QTest::newRow("from 6 through the overlap into 3")
        << QList<QPoint>{site(6), {100, 300}, {100, 306}} << QStringList{"+6", "-6", "+3"};
    QTest::newRow("from 10 into its overlap with 11")
        << QList<QPoint>{site(10), {530, 135}} << QStringList{"+10", "-10", "+11"};
    QTest::newRow("overlap of 10 and 11 from the scene") << QList<QPoint>{onScene, {540, 139}} << QStringList{"+11"};
    QTest::newRow("from 11 into its overlap with 14")
        << QList<QPoint>{site(11), {440, 218}} << QStringList{"+11", "-11", "+14"};
    QTest::newRow("overlap of 11 and 14, then out of it into 11")
        << QList<QPoint>{{445, 219}, {446, 219}} << QStringList{"+14", "-14", "+11"};
    QTest::newRow("the shown Image14 catches the pointer above its hot-spot")
        << QList<QPoint>{site(14), {391, 212}, {391, 211}} << QStringList{"+14", "-14"};
    QTest::newRow("the shown Image12 catches the pointer left of its hot-spot")
        << QList<QPoint>{site(12), {546, 200}} << QStringList{"+12", "-12"};
    QTest::newRow("every site in turn")
        << QList<QPoint>{site(3), site(4), site(5), site(6), site(7), site(8), site(9), site(10), site(11),
                         site(12), site(13), site(14), offPanel}
        << QStringList{"+3", "-3", "+4", "-4", "+5", "-5", "+6", "-6", "+7", "-7", "+8", "-8", "+9", "-9",
                       "+10", "-10", "+11", "-11", "+12", "-12", "+13", "-13", "+14", "-14"};
}

void TestUmain::hoverSequences()
{
    QFETCH(QList<QPoint>, path);
    QFETCH(QStringList, log);
    for (QPoint point : path)
        moveTo(point);
    QCOMPARE(m_log.entries, log);
    QCOMPARE(m_boxes.seen().size(), 0u);
}

void TestUmain::hotSpotsDrawNothingAtRest()
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

void TestUmain::updateSiteLeaveHidesLabel()
{
    mainForm->Label1->setText(QStringLiteral("正在下载"));
    mainForm->Label1->show();
    m_log.entries.clear();

    moveTo(onSite[5]);
    moveTo(onSite[5] + QPoint(2, 2));
    QVERIFY(mainForm->Label1->isVisible());
    moveTo(onSite[6]);
    QCOMPARE(m_log.entries, (QStringList{"+5", "-5", "-L", "+6"}));
}

void TestUmain::updatePictureReadOnEveryMove()
{
    const QImage small = plainPicture({40, 30}, Qt::red);
    const QImage large = plainPicture({90, 70}, Qt::blue);

    moveTo(onSite[5]);
    QCOMPARE(mainForm->image(5)->size(), QSize(94, 86));
    QVERIFY(m_directory.write(QStringLiteral("10.png"), pngOf(small)));
    moveTo(onSite[5] + QPoint(1, 0));
    QCOMPARE(mainForm->image(5)->size(), QSize(40, 30));
    QCOMPARE(mainForm->image(5)->picture().toImage().pixelColor(5, 5), QColor(Qt::red));
    QVERIFY(m_directory.write(QStringLiteral("10.png"), pngOf(large)));
    moveTo(onSite[5] + QPoint(2, 0));
    QCOMPARE(mainForm->image(5)->size(), QSize(90, 70));
    QCOMPARE(mainForm->image(5)->picture().toImage().pixelColor(5, 5), QColor(Qt::blue));
    // Same file, same place: still read again (the file's content decides, not its name).
    QVERIFY(m_directory.write(QStringLiteral("10.png"), pngOf(small)));
    moveTo(onSite[5] + QPoint(2, 0) + QPoint(0, 1));
    QCOMPARE(mainForm->image(5)->size(), QSize(40, 30));
    QCOMPARE(mainForm->image(5)->pos(), QPoint(456, 408));
    QCOMPARE(m_boxes.seen().size(), 0u);
}

void TestUmain::updatePictureMissingOnMove()
{
    moveTo(onSite[5]);
    const QSize before = mainForm->image(5)->picture().size();
    QVERIFY(QFile::remove(pathOf10()));

    m_boxes.setOnShown([] { return QString::number(mainForm->image(5)->isVisible()); });
    const QString expected = QStringLiteral("Cannot open file \"%1\". No such file or directory.").arg(pathOf10());
    for (int move = 1; move <= 3; ++move) {
        moveTo(onSite[5] + QPoint(move, 0));
        QCOMPARE(m_boxes.seen().size(), std::size_t(move));
        const test::ModalAnswerer::Seen &box = m_boxes.seen().back();
        QCOMPARE(box.text, expected);
        QCOMPARE(box.title, QStringLiteral("Kivora"));
        QCOMPARE(box.snapshot, QStringLiteral("1")); // Image5 was made visible before the read failed
        QCOMPARE(mainForm->image(5)->picture().size(), before);
    }

    // Something that is not a picture at all.
    QVERIFY(m_directory.write(QStringLiteral("10.png"), "not a picture"));
    moveTo(onSite[5] + QPoint(0, 5));
    QCOMPARE(m_boxes.seen().size(), 4u);
    QVERIFY(m_boxes.seen().back().text.startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(pathOf10())));
    QCOMPARE(mainForm->image(5)->picture().size(), before);

    QVERIFY(m_directory.copyPicture(QStringLiteral("10.png"), QStringLiteral("10.png")));
    moveTo(onSite[5] + QPoint(0, 6));
    QCOMPARE(m_boxes.seen().size(), 4u);
    m_boxes.setOnShown({});
}

void TestUmain::updatePictureMissingAtShowing()
{
    QVERIFY(QFile::remove(pathOf10()));
    TmainForm launcher;
    m_boxes.setOnShown([&launcher] {
        const QWindow *native = launcher.windowHandle();
        return QStringLiteral("mask %1, on screen %2")
            .arg(launcher.mask().isEmpty() ? "none" : "set")
            .arg(native && native->isVisible());
    });
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    m_boxes.setOnShown({});

    QCOMPARE(m_boxes.seen().size(), 1u);
    QCOMPARE(m_boxes.seen().front().text,
             QStringLiteral("Cannot open file \"%1\". No such file or directory.").arg(pathOf10()));
    QCOMPARE(m_boxes.seen().front().snapshot, QStringLiteral("mask set, on screen 0"));
    QVERIFY(launcher.isVisible());
    QVERIFY(launcher.image(5)->picture().isNull());
    QVERIFY(launcher.image(5)->isHidden());
}

void TestUmain::updatePictureReadAtEveryShowing()
{
    TmainForm launcher;
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    QCOMPARE(launcher.image(5)->size(), QSize(94, 86));
    launcher.hide();
    QVERIFY(m_directory.write(QStringLiteral("10.png"), pngOf(plainPicture({33, 22}, Qt::green))));
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    QCOMPARE(launcher.image(5)->size(), QSize(33, 22));
    QVERIFY(launcher.image(5)->isHidden());
    QCOMPARE(m_boxes.seen().size(), 0u);
}

void TestUmain::clicks_data()
{
    QTest::addColumn<QList<QPair<QString, QPoint>>>("actions"); // press/move/release with a button
    QTest::addColumn<QStringList>("shown");

    using Action = QPair<QString, QPoint>;
    for (int number = 3; number <= 14; ++number) {
        if (number == 5)
            continue;
        QTest::addRow("left click on site %d", number)
            << QList<Action>{{"press", onSite[number]}, {"release", onSite[number]}}
            << QStringList{categoryWindow(number)->objectName()};
    }
    QTest::newRow("overlap of 3 and 6") << QList<Action>{{"press", {100, 300}}, {"release", {100, 300}}}
                                        << QStringList{"gushiForm"};
    QTest::newRow("overlap of 10 and 11") << QList<Action>{{"press", {530, 135}}, {"release", {530, 135}}}
                                          << QStringList{"XchangshiForm"};
    QTest::newRow("overlap of 11 and 14") << QList<Action>{{"press", {440, 218}}, {"release", {440, 218}}}
                                          << QStringList{"dbpingtuform"};
    QTest::newRow("press, move off, release on the scene")
        << QList<Action>{{"press", onSite[7]}, {"move", onScene}, {"release", onScene}} << QStringList{};
    QTest::newRow("press, move onto the neighbour, release there")
        << QList<Action>{{"press", onSite[7]}, {"move", onSite[8]}, {"release", onSite[8]}} << QStringList{};
    QTest::newRow("press, move off the panel, release there")
        << QList<Action>{{"press", onSite[14]}, {"move", offPanel}, {"release", offPanel}} << QStringList{};
    QTest::newRow("press on the scene, release on a site")
        << QList<Action>{{"press", onScene}, {"move", onSite[7]}, {"release", onSite[7]}} << QStringList{};
    QTest::newRow("press, move off and back, release inside")
        << QList<Action>{{"press", onSite[7]}, {"move", onScene}, {"move", onSite[7]}, {"release", onSite[7]}}
        << QStringList{"ergerForm"};
    QTest::newRow("right button") << QList<Action>{{"press right", onSite[7]}, {"release right", onSite[7]}}
                                  << QStringList{};
    QTest::newRow("middle button") << QList<Action>{{"press middle", onSite[8]}, {"release middle", onSite[8]}}
                                   << QStringList{};
    QTest::newRow("two sites in turn")
        << QList<Action>{{"press", onSite[7]}, {"release", onSite[7]}, {"press", onSite[13]}, {"release", onSite[13]}}
        << QStringList{"ergerForm", "wanyouxiForm"};
}

void TestUmain::clicks()
{
    using Action = QPair<QString, QPoint>;
    QFETCH(QList<Action>, actions);
    QFETCH(QStringList, shown);

    QSignalSpy close(mainForm->SpeedButton1, &QAbstractButton::clicked);
    for (const Action &action : actions) {
        const QPoint at = inWindow(action.second);
        Qt::MouseButton button = Qt::LeftButton;
        if (action.first.endsWith(QLatin1String("right")))
            button = Qt::RightButton;
        else if (action.first.endsWith(QLatin1String("middle")))
            button = Qt::MiddleButton;
        if (action.first.startsWith(QLatin1String("press")))
            QTest::mousePress(mainForm, button, {}, at);
        else if (action.first.startsWith(QLatin1String("release")))
            QTest::mouseRelease(mainForm, button, {}, at);
        else
            QTest::mouseMove(mainForm, at);
    }
    QStringList visible = visibleCategoryWindows();
    visible.sort();
    shown.sort();
    QCOMPARE(visible, shown);
    if (shown.size() == 1) {
        QWidget *window = mainForm->findChild<QWidget *>(shown.front(), Qt::FindDirectChildrenOnly);
        QTRY_COMPARE(QApplication::activeWindow(), window);
    }
    QVERIFY(mainForm->isVisible());
    QCOMPARE(close.count(), 0);
    QCOMPARE(m_boxes.seen().size(), 0u);
}

void TestUmain::clickOnOpenWindowBringsItToFront()
{
    QTest::mouseClick(mainForm, Qt::LeftButton, {}, inWindow(onSite[7]));
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(ergerForm));
    const QPoint where = ergerForm->pos();

    QTest::mouseClick(mainForm, Qt::LeftButton, {}, inWindow(onSite[6]));
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(gushiForm));
    QVERIFY(ergerForm->isVisible());

    QTest::mouseClick(mainForm, Qt::LeftButton, {}, inWindow(onSite[7]));
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(ergerForm));
    QVERIFY(gushiForm->isVisible());
    QCOMPARE(ergerForm->pos(), where);
}

void TestUmain::region_data()
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

void TestUmain::region()
{
    QFETCH(QPoint, point);
    QFETCH(bool, inside);
    QCOMPARE(mainForm->mask().contains(point), inside);
}

void TestUmain::regionMadeAnewOnEveryShowing()
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

void TestUmain::gaugeValueAndText_data()
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

void TestUmain::gaugeValueAndText()
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

void TestUmain::gaugeDrawing()
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

void TestUmain::closeEndsTheLoopWithStatusZero()
{
    ergerForm->show();
    QTimer::singleShot(0, mainForm, [] { QTest::mouseClick(mainForm, Qt::LeftButton, {}, QPoint(805, 314)); });
    // Guard only: a loop that does not end fails with its own status instead of hanging.
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!mainForm->isVisible());
}

KIVORA_WINDOW_TEST_MAIN(TestUmain)

#include "tst_umain.moc"
