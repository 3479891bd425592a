// The launcher in use: the highlights that follow the pointer, the update site's picture
// read from disk, the clicks that open category windows, and closing.
#include "tests/app/launcherfixture.h"
#include "tests/app/windowtestmain.h"

#include "platform/ui/SpeedButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

using namespace kivora;
using namespace kivora::test;

namespace {

QStringList visibleCategoryWindows()
{
    QStringList names;
    for (int number = 3; number <= 14; ++number) {
        if (QWidget *window = categoryWindow(number); window && window->isVisible())
            names << window->objectName();
    }
    return names;
}

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

class TestUmainBehaviour : public LauncherFixture
{
    Q_OBJECT
private Q_SLOTS:
    void hoverSequences_data();
    void hoverSequences();
    void updateSiteLeaveHidesLabel();
    void updatePictureReadOnEveryMove();
    void updatePictureMissingOnMove();
    void updatePictureMissingAtShowing();
    void updatePictureReadAtEveryShowing();

    void clicks_data();
    void clicks();
    void clickOnOpenWindowBringsItToFront();

    void closeEndsTheLoopWithStatusZero();
};

void TestUmainBehaviour::hoverSequences_data()
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

void TestUmainBehaviour::hoverSequences()
{
    QFETCH(QList<QPoint>, path);
    QFETCH(QStringList, log);
    for (QPoint point : path)
        moveTo(point);
    QCOMPARE(m_log.entries, log);
    QCOMPARE(m_boxes.seen().size(), 0u);
}

void TestUmainBehaviour::updateSiteLeaveHidesLabel()
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

void TestUmainBehaviour::updatePictureReadOnEveryMove()
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

void TestUmainBehaviour::updatePictureMissingOnMove()
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

void TestUmainBehaviour::updatePictureMissingAtShowing()
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

void TestUmainBehaviour::updatePictureReadAtEveryShowing()
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

void TestUmainBehaviour::clicks_data()
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

void TestUmainBehaviour::clicks()
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

void TestUmainBehaviour::clickOnOpenWindowBringsItToFront()
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

void TestUmainBehaviour::closeEndsTheLoopWithStatusZero()
{
    ergerForm->show();
    QTimer::singleShot(0, mainForm, [] { QTest::mouseClick(mainForm, Qt::LeftButton, {}, QPoint(805, 314)); });
    // Guard only: a loop that does not end fails with its own status instead of hanging.
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!mainForm->isVisible());
}

KIVORA_WINDOW_TEST_MAIN(TestUmainBehaviour)

#include "tst_umainbehaviour.moc"
