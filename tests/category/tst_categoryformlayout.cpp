// The category windows as they stand: size, shape and place on every showing, the
// controls and their colours under the theme, the titles listed, and the pictures, also
// when they are missing or damaged.
#include "tests/category/categoryformfixture.h"
#include "tests/support/modalanswerer.h"

#include "platform/ui/TImage.h"
#include "platform/ui/windowshape.h"

#include <QFontInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace kivora;
using namespace kivora::test;

namespace {

const QColor lime(0x00, 0xFF, 0x00);
const QColor aqua(0x00, 0xFF, 0xFF);
const QColor yellow(0xFF, 0xFF, 0x00);

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 24 && qAbs(a.green() - b.green()) < 24 && qAbs(a.blue() - b.blue()) < 24;
}

int pixelsNear(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += near(image.pixelColor(x, y), colour) ? 1 : 0;
    return count;
}

using XConnection = std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>;

XConnection connectToX()
{
    return XConnection(xcb_connect(nullptr, nullptr), &xcb_disconnect);
}

xcb_atom_t netWmStateAtom(xcb_connection_t *connection)
{
    const char name[] = "_NET_WM_STATE";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The window states the X server holds for `window`, by name, read over a connection of
// the test's own (as a task list reads them).
QStringList netWmStates(WId window)
{
    const XConnection connection = connectToX();
    if (xcb_connection_has_error(connection.get()))
        return {QStringLiteral("no X connection")};
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> property(
        xcb_get_property_reply(connection.get(),
                               xcb_get_property(connection.get(), 0, static_cast<xcb_window_t>(window),
                                                netWmStateAtom(connection.get()), XCB_ATOM_ATOM, 0, 1024),
                               nullptr),
        &std::free);
    if (!property || property->format != 32)
        return {};
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(property.get()));
    const int count = xcb_get_property_value_length(property.get()) / static_cast<int>(sizeof(xcb_atom_t));
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<xcb_get_atom_name_reply_t, decltype(&std::free)> atomName(
            xcb_get_atom_name_reply(connection.get(), xcb_get_atom_name(connection.get(), atoms[i]), nullptr),
            &std::free);
        if (atomName)
            names.append(QString::fromLatin1(xcb_get_atom_name_name(atomName.get()),
                                             xcb_get_atom_name_name_length(atomName.get())));
    }
    return names;
}

// What a desktop does when a window is withdrawn: its states go.
void dropNetWmStates(WId window)
{
    const XConnection connection = connectToX();
    if (xcb_connection_has_error(connection.get()))
        return;
    xcb_delete_property(connection.get(), static_cast<xcb_window_t>(window), netWmStateAtom(connection.get()));
    xcb_flush(connection.get());
    std::free(xcb_get_input_focus_reply(connection.get(), xcb_get_input_focus(connection.get()), nullptr));
}

} // namespace

class TestCategoryFormLayout : public CategoryFormFixture
{
    Q_OBJECT
private Q_SLOTS:
    void layout_data();
    void layout();
    void regionAndPlaceOnEveryShowing();
    void noTaskListEntryOnEveryShowing();
    void missingPicture_data();
    void missingPicture();
};

void TestCategoryFormLayout::layout_data()
{
    QTest::addColumn<QByteArray>("windowClass");
    for (const Design &design : designs)
        QTest::newRow(design.windowClass) << QByteArray(design.windowClass);
}

void TestCategoryFormLayout::layout()
{
    QFETCH(QByteArray, windowClass);
    test::ModalAnswerer boxes;
    TCategoryForm *form = createWindow(windowClass);
    QVERIFY(form);
    QVERIFY(boxes.texts().isEmpty());
    QVERIFY(form->isHidden());
    // Shown, so that the theme has had its say on every control.
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const TCategoryInfo &category = *findCategory(windowClass.toStdString());
    QCOMPARE(form->objectName().toStdString(), std::string(category.windowName));

    QCOMPARE(form->size(), QSize(1200, 850));
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(form->isWindow());
    QCOMPARE(form->parentWidget(), m_owner.get());

    QCOMPARE(form->Image1->geometry(), QRect(0, 0, 1200, 850));
    QCOMPARE(form->Image1->picture().toImage().pixelColor(600, 10), loadedBackground);

    QCOMPARE(form->SpeedButton1->geometry(), QRect(1109, 396, 65, 57));
    QVERIFY(!form->SpeedButton1->isFlat());
    QVERIFY(form->SpeedButton1->text().isEmpty());
    QVERIFY(form->SpeedButton1->icon().isNull());

    QCOMPARE(form->Panel1->geometry(), QRect(112, 80, 977, 681));
    QCOMPARE(form->Panel1->contentsRect(), QRect(1, 1, 975, 679));
    QCOMPARE(form->Panel1->frameShadow(), QFrame::Raised);

    const ListPlacement &placement = category.placement;
    const QRect list = placement.rightStrip ? QRect(976 - placement.width, 1, placement.width, 679)
                                            : QRect(placement.left, placement.top, placement.width, placement.height);
    QCOMPARE(form->ListBox1->geometry(), list);
    QCOMPARE(form->Image2->geometry(),
             placement.rightStrip ? QRect(1, 1, 975 - placement.width, 679) : QRect(1, 1, 975, 679));
    QCOMPARE(form->Image2->picture().size(), loadedPanelSize);
    QVERIFY(near(form->Image2->picture().toImage().pixelColor(10, 10), loadedPanel));

    QCOMPARE(form->ShockwaveFlash1->geometry(), QRect(25, 32, 424, 225));
    QVERIFY(form->ShockwaveFlash1->isHidden());
    QCOMPARE(form->PB->geometry(), QRect(1, 664, 976, 17));
    QVERIFY(form->PB->isHidden());
    QCOMPARE(form->PB->minimum(), 0);
    QCOMPARE(form->PB->maximum(), 100);
    QCOMPARE(form->DownloadProgress, 0);

    // Bottom to top inside the panel: picture, player, list, bar.
    QList<QWidget *> stacking;
    for (QObject *child : form->Panel1->children())
        if (auto *widget = qobject_cast<QWidget *>(child))
            stacking << widget;
    const QList<QWidget *> order{form->Image2, form->ShockwaveFlash1, form->ListBox1, form->PB};
    for (int i = 1; i < order.size(); ++i)
        QVERIFY2(stacking.indexOf(order[i - 1]) < stacking.indexOf(order[i]), qPrintable(order[i]->objectName()));

    // The titles, in the catalog's order, one line each, unsorted, single selection.
    QCOMPARE(form->ListBox1->count(), static_cast<int>(category.titles.size()));
    for (int row = 0; row < form->ListBox1->count(); ++row)
        QCOMPARE(form->ListBox1->item(row)->text(), text(category.titles[row]));
    QVERIFY(!form->ListBox1->isSortingEnabled());
    QCOMPARE(form->ListBox1->selectionMode(), QAbstractItemView::SingleSelection);
    QVERIFY(form->ListBox1->selectedItems().isEmpty());
    QCOMPARE(form->ListBox1->frameShape(), QFrame::NoFrame);

    // 14-pixel characters in a face that has the Chinese glyphs.
    QCOMPARE(form->ListBox1->font().pixelSize(), 14);
    const QFontInfo used(form->ListBox1->font());
    QVERIFY2(used.family().contains(QLatin1String("CJK")) || used.family() == QStringLiteral("SimSun")
                 || used.family() == QStringLiteral("宋体"),
             qPrintable(used.family()));
    QVERIFY(QFontMetrics(form->ListBox1->font()).inFont(QChar(0x6B4C)));

    // Own colours under the theme: lime on black, aqua on yellow.
    const QImage listImage = form->ListBox1->grab().toImage();
    QVERIFY(pixelsNear(listImage, Qt::black) > listImage.width() * listImage.height() / 2);
    QVERIFY(pixelsNear(listImage, lime) > 100);
    // Its scroll bar too, below the theme's handle.
    const QScrollBar *scrollBar = form->ListBox1->verticalScrollBar();
    QVERIFY(scrollBar->isVisible());
    const QImage groove = listImage.copy(scrollBar->mapTo(form->ListBox1, QPoint()).x(), 0, scrollBar->width(),
                                         listImage.height());
    QVERIFY(near(groove.pixelColor(groove.width() / 2, groove.height() - 5), Qt::black));
    const QImage emptyBar = form->PB->grab().toImage();
    QCOMPARE(pixelsNear(emptyBar, yellow), emptyBar.width() * emptyBar.height());
    form->PB->setValue(50);
    const QImage barImage = form->PB->grab().toImage();
    form->PB->setValue(0);
    QVERIFY(near(barImage.pixelColor(barImage.width() / 4, barImage.height() / 2), aqua));
    QVERIFY(near(barImage.pixelColor(barImage.width() * 3 / 4, barImage.height() / 2), yellow));
}

void TestCategoryFormLayout::regionAndPlaceOnEveryShowing()
{
    TCategoryForm *form = createWindow("TergerForm");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QRegion region = roundRectRegion(5, 4, 1195, 845, 80, 80);
    QCOMPARE(form->mask(), region);
    QCOMPARE(form->mask().boundingRect(), QRect(5, 4, 1190, 841));
    QVERIFY(!form->mask().contains(QPoint(5, 4)));
    QVERIFY(form->mask().contains(QPoint(600, 425)));
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    QVERIFY(qAbs(form->frameGeometry().center().x() - desktop.center().x()) <= 1);
    QVERIFY(qAbs(form->frameGeometry().center().y() - desktop.center().y()) <= 1);

    // Hidden and shown again: a fresh region, and the window stays where it was put.
    form->close();
    QVERIFY(form->isHidden());
    form->clearMask();
    form->move(40, 30);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(form->mask(), region);
    QTRY_COMPARE(form->pos(), QPoint(40, 30));
}

void TestCategoryFormLayout::noTaskListEntryOnEveryShowing()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("The task-list hint is an X window state");
    TCategoryForm *form = createWindow("TgushiForm");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(netWmStates(form->winId()).contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")));

    // Hidden, the window loses its states; the next showing sets the hint again, once.
    form->close();
    QVERIFY(form->isHidden());
    dropNetWmStates(form->winId());
    QVERIFY(netWmStates(form->winId()).isEmpty());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(netWmStates(form->winId()).count(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")), 1);
}

void TestCategoryFormLayout::missingPicture_data()
{
    QTest::addColumn<bool>("background");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<bool>("damagedBackground");
    QTest::addColumn<QString>("named");
    QTest::newRow("1003.jpg missing") << true << false << false << QStringLiteral("1003.jpg");
    QTest::newRow("ipadmain3.png missing") << false << true << false << QStringLiteral("ipadmain3.png");
    QTest::newRow("both missing") << false << false << false << QStringLiteral("ipadmain3.png");
    QTest::newRow("ipadmain3.png damaged") << false << true << true << QStringLiteral("ipadmain3.png");
}

void TestCategoryFormLayout::missingPicture()
{
    QFETCH(bool, background);
    QFETCH(bool, panel);
    QFETCH(bool, damagedBackground);
    QFETCH(QString, named);
    writePictures(background, panel);
    if (damagedBackground) {
        QFile damaged(programDir() + QStringLiteral("ipadmain3.png"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a picture");
    }

    test::ModalAnswerer boxes;
    TCategoryForm *songs = createWindow("TergerForm");
    TCategoryForm *poems = createWindow("TgushiForm");

    // One message per window, naming the file with its full path.
    QCOMPARE(boxes.texts().size(), 2);
    for (const QString &message : boxes.texts()) {
        QVERIFY2(message.startsWith(QStringLiteral("Cannot open file \"") + programDir() + named + u'"'),
                 qPrintable(message));
    }
    for (TCategoryForm *form : {songs, poems}) {
        const QImage backgroundPicture = form->Image1->picture().toImage();
        QCOMPARE(backgroundPicture.size(), QSize(1200, 850));
        QCOMPARE(backgroundPicture.pixelColor(600, 10) == loadedBackground, background);
        // The panel picture is loaded only when the background was.
        QCOMPARE(form->Image2->picture().size(), background && panel ? loadedPanelSize : QSize(996, 682));
        QVERIFY(form->ListBox1->count() > 0);
    }
}

KIVORA_CATEGORY_TEST_MAIN(TestCategoryFormLayout)

#include "tst_categoryformlayout.moc"
