#include "platform/player/ShockwaveFlash.h"
#include "platform/ui/SpeedButton.h"
#include "category/TCategoryForm.h"
#include "catalog/TCategoryInfo.h"
#include "platform/ui/TImage.h"
#include "platform/core/bindstatus.h"
#include "category/currenttransfer.h"
#include "platform/core/programdirectory.h"
#include "category/progressrule.h"
#include "platform/ui/theme.h"
#include "platform/player/playerengine.h"
#include "platform/player/playerrest.h"
#include "platform/ui/windowshape.h"

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

#include "tests/category/contentserver.h"
#include "tests/support/modalanswerer.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/scriptedserver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QHash>
#include <QFrame>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScrollBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include <memory>

using namespace kivora;
using kivora::test::ContentServer;
using kivora::test::ScriptedServer;

namespace {

constexpr int playerTimeoutMs = 60000;
constexpr int transferTimeoutMs = 30000;

const QColor loadedBackground(0x20, 0x30, 0x40);
const QColor loadedPanel(0x80, 0x60, 0x40);
const QSize loadedPanelSize(900, 600); // differs from the built-in 996 x 682
const QColor lime(0x00, 0xFF, 0x00);
const QColor aqua(0x00, 0xFF, 0xFF);
const QColor yellow(0xFF, 0xFF, 0x00);

QByteArray cardMovie()
{
    QFile file(QStringLiteral(KIVORA_PLAYER_TEST_DATA "/card.swf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string cardBytes()
{
    return cardMovie().toStdString();
}

// Big enough that a transfer paused half-way shows a percentage strictly between 0 and 100.
std::string bigBody()
{
    std::string bytes(256 * 1024, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 131) & 0xFF);
    return bytes;
}

QString text(std::u16string_view value)
{
    return QString(reinterpret_cast<const QChar *>(value.data()), static_cast<qsizetype>(value.size()));
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

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

template<typename Form>
TCategoryForm *make(QWidget *owner)
{
    return new Form(owner);
}

struct Design
{
    const char *windowClass;
    TCategoryForm *(*create)(QWidget *owner);
};

const Design designs[] = {
    {"TergerForm", &make<TergerForm>},         {"Tchengyuform", &make<Tchengyuform>},
    {"TwanyouxiForm", &make<TwanyouxiForm>},   {"Thtgushiform", &make<Thtgushiform>},
    {"TgushiForm", &make<TgushiForm>},         {"TpinyinForm", &make<TpinyinForm>},
    {"TXchangshiForm", &make<TXchangshiForm>}, {"Tdbpingtuform", &make<Tdbpingtuform>},
    {"TxyuwenForm", &make<TxyuwenForm>},       {"TxyingyuForm", &make<TxyingyuForm>},
    {"TgwergerForm", &make<TgwergerForm>},
};

// A transfer has reported some of its bytes but not all.
bool midway(const TCategoryForm *form)
{
    return form->DownloadProgress > 0 && form->DownloadProgress < 100;
}

// How many jobs hold the sink of the window that made the latest choice: the window and
// the current transfer hold it too.
long runningJobsOfLatestChoice()
{
    return currentTransfer.formname.use_count() - 2;
}

// An address where nothing listens.
std::string refusingHost()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return {};
    const quint16 port = probe.serverPort();
    probe.close();
    return "127.0.0.1:" + std::to_string(port);
}

// The request target of a raw HTTP request: what lies between the method and the version.
QByteArray requestTarget(const std::string &request)
{
    const QByteArray line = QByteArray::fromStdString(request.substr(0, request.find("\r\n")));
    const QList<QByteArray> parts = line.split(' ');
    return parts.size() == 3 ? parts[1] : QByteArray();
}

// With the sandbox off, as the tests run the web engine, its zygote forks each renderer: the
// renderers are the grandchildren of the test.
QList<int> rendererProcesses()
{
    QHash<int, int> parentOf;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (entry.toInt() <= 0 || !stat.open(QIODevice::ReadOnly))
            continue;
        // The command name may hold spaces and parentheses: the fields follow its last ')'.
        const QByteArray fields = stat.readAll();
        parentOf.insert(entry.toInt(), fields.mid(fields.lastIndexOf(')') + 2).split(' ').value(1).toInt());
    }
    QList<int> renderers;
    for (auto process = parentOf.cbegin(); process != parentOf.cend(); ++process) {
        if (parentOf.value(process.value()) == static_cast<int>(::getpid()))
            renderers.append(process.key());
    }
    return renderers;
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

class TestCategoryForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void regionAndPlaceOnEveryShowing();
    void noTaskListEntryOnEveryShowing();
    void localTitlePlaysWithoutJob();
    void missingTitleStreamsThenPlaysLocally();
    void arrowKeysChooseTitles();
    void jobsReportToTheirOwnWindow();
    void twoJobsInOneWindow();
    void backAndCloseWhileDownloading();
    void failedDownloadLeavesNoFile_data();
    void failedDownloadLeavesNoFile();
    void missingPicture_data();
    void missingPicture();
    void titleLandsUnderExactName_data();
    void titleLandsUnderExactName();
    void windowDestroyedWhileJobRuns();
    void restingPlayerGoesAndComesBack();

private:
    TCategoryForm *createWindow(const QByteArray &windowClass);
    QString programDir() const { return QFile::decodeName(m_programDir->path().c_str()) + u'/'; }
    QString localFile(const char *folder, const QString &title) const
    {
        return programDir() + QLatin1String(folder) + u'/' + title + QStringLiteral(".swf");
    }
    static QString address(const std::string &host, const char *folder, const QString &title)
    {
        return QStringLiteral("http://") + QString::fromStdString(host) + u'/' + QLatin1String(folder) + u'/'
               + title + QStringLiteral(".swf");
    }
    static std::string serverPath(const char *folder, const QString &title)
    {
        return (u'/' + QLatin1String(folder) + u'/' + title + QStringLiteral(".swf")).toStdString();
    }
    void writePictures(bool background, bool panel);
    void useHosts(const std::string &stream, const std::string &download);
    void clickBack(TCategoryForm *form);
    void clickTitle(TCategoryForm *form, int row);

    std::unique_ptr<test::ScratchFolder> m_programDir;
    std::unique_ptr<ContentServer> m_stream;
    std::unique_ptr<ContentServer> m_download;
    std::unique_ptr<QWidget> m_owner;
    QList<QPointer<TCategoryForm>> m_windows;
};

void TestCategoryForm::initTestCase()
{
    QVERIFY(cardMovie().startsWith("FWS"));
}

void TestCategoryForm::init()
{
    m_programDir = std::make_unique<test::ScratchFolder>();
    QVERIFY(m_programDir->isValid());
    for (const TCategoryInfo &category : categories())
        QVERIFY(QDir(programDir()).mkpath(QString::fromLatin1(category.folder.data(), category.folder.size())));
    writePictures(true, true);
    setProgramDirectoryForTesting(m_programDir->path().string());

    m_stream = std::make_unique<ContentServer>();
    m_stream->setFallback(cardBytes());
    QVERIFY(m_stream->start());
    m_download = std::make_unique<ContentServer>();
    QVERIFY(m_download->start());
    useHosts(m_stream->host(), m_download->host());

    m_owner = std::make_unique<QWidget>();
}

void TestCategoryForm::cleanup()
{
    for (const QPointer<TCategoryForm> &window : std::as_const(m_windows))
        delete window.data();
    m_windows.clear();
    m_owner.reset();
    PlayerRest::setIdleTimeForTesting(std::chrono::minutes(1));
    // Let paused transfers end before their servers go.
    if (m_download)
        m_download->release();
    if (m_stream)
        m_stream->release();
    QTRY_VERIFY_WITH_TIMEOUT(currentTransfer.formname.use_count() <= 1, transferTimeoutMs);
    m_download.reset();
    m_stream.reset();
    currentTransfer = CurrentTransfer{};
    setProgramDirectoryForTesting(std::string());
    m_programDir.reset();
}

void TestCategoryForm::writePictures(bool background, bool panel)
{
    const QString backgroundPath = programDir() + QStringLiteral("ipadmain3.png");
    const QString panelPath = programDir() + QStringLiteral("1003.jpg");
    QFile::remove(backgroundPath);
    QFile::remove(panelPath);
    if (background) {
        QImage picture(TCategoryForm::ClientWidth, TCategoryForm::ClientHeight, QImage::Format_ARGB32);
        picture.fill(loadedBackground);
        QVERIFY(picture.save(backgroundPath, "PNG"));
    }
    if (panel) {
        QImage picture(loadedPanelSize, QImage::Format_RGB32);
        picture.fill(loadedPanel);
        QVERIFY(picture.save(panelPath, "JPG"));
    }
}

void TestCategoryForm::useHosts(const std::string &stream, const std::string &download)
{
    TCategoryForm::setServerHostsForTesting(stream, download);
}

TCategoryForm *TestCategoryForm::createWindow(const QByteArray &windowClass)
{
    for (const Design &design : designs) {
        if (windowClass == design.windowClass) {
            TCategoryForm *form = design.create(m_owner.get());
            m_windows.append(form);
            return form;
        }
    }
    return nullptr;
}

void TestCategoryForm::clickBack(TCategoryForm *form)
{
    QTest::mouseClick(form->SpeedButton1, Qt::LeftButton);
}

void TestCategoryForm::clickTitle(TCategoryForm *form, int row)
{
    QListWidget *list = form->ListBox1;
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

void TestCategoryForm::layout_data()
{
    QTest::addColumn<QByteArray>("windowClass");
    for (const Design &design : designs)
        QTest::newRow(design.windowClass) << QByteArray(design.windowClass);
}

void TestCategoryForm::layout()
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

void TestCategoryForm::regionAndPlaceOnEveryShowing()
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

void TestCategoryForm::noTaskListEntryOnEveryShowing()
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

void TestCategoryForm::localTitlePlaysWithoutJob()
{
    const QString title = QStringLiteral("做客歌");
    QVERIFY(writeBytes(localFile("erger", title), cardMovie()));

    TCategoryForm *form = createWindow("TergerForm");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QSignalSpy loaded(form->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(form, 0);

    QVERIFY(form->ListBox1->isHidden());
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QCOMPARE(form->ShockwaveFlash1->geometry(), form->Panel1->contentsRect());
    QCOMPARE(form->ShockwaveFlash1->movie(), localFile("erger", title));
    QVERIFY(form->PB->isHidden());
    QCOMPARE(runningJobsOfLatestChoice(), 0);
    // The choice is recorded all the same.
    QCOMPARE(text(currentTransfer.SourceFile1), address(m_stream->host(), "erger", title));
    QCOMPARE(text(currentTransfer.SourceFile2), address(m_download->host(), "erger", title));
    QCOMPARE(text(currentTransfer.DestFile1), localFile("erger", title));

    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, playerTimeoutMs);
    QCOMPARE(m_stream->totalRequests(), 0);
    QCOMPARE(m_download->totalRequests(), 0);
    QCOMPARE(form->DownloadProgress, 0);
}

void TestCategoryForm::missingTitleStreamsThenPlaysLocally()
{
    const QString title = QStringLiteral("做客歌");
    const std::string path = serverPath("erger", title);
    m_download->serve(path, cardBytes());
    m_stream->serve(path, cardBytes());

    TCategoryForm *form = createWindow("TergerForm");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QSignalSpy loaded(form->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(form, 0);

    QVERIFY(form->ListBox1->isHidden());
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "erger", title));
    QVERIFY(!form->PB->isHidden());

    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("erger", title)), cardMovie(), transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(form->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(form->DownloadProgress, 100);
    QCOMPARE(m_download->requests(path), 1);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, playerTimeoutMs);
    QCOMPARE(m_stream->requests(path), 1);

    // Back drops the movie and brings the list back with the title still selected.
    clickBack(form);
    QVERIFY(form->ShockwaveFlash1->isHidden());
    QVERIFY(form->ListBox1->isVisible());
    QCOMPARE(form->ListBox1->currentRow(), 0);
    QVERIFY(form->ListBox1->item(0)->isSelected());
    QVERIFY(form->ShockwaveFlash1->movie().endsWith(QStringLiteral("A123.swf")));
    QVERIFY(!QFile::exists(form->ShockwaveFlash1->movie()));

    // The same title again: now from the file, with no job.
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    clickTitle(form, 0);
    QCOMPARE(form->ShockwaveFlash1->movie(), localFile("erger", title));
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QCOMPARE(runningJobsOfLatestChoice(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 2, playerTimeoutMs);
    QCOMPARE(m_download->requests(path), 1);
    QCOMPARE(m_stream->requests(path), 1);
}

void TestCategoryForm::arrowKeysChooseTitles()
{
    // Downloads fail here, so every choice streams.
    TCategoryForm *form = createWindow("Tchengyuform");
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QListWidget *list = form->ListBox1;

    clickTitle(form, 0);
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "chengyugushi", list->item(0)->text()));
    clickBack(form);
    QVERIFY(list->isVisible());

    QTest::keyClick(form->ListBox1, Qt::Key_Down);
    QVERIFY(list->isHidden());
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "chengyugushi", list->item(1)->text()));

    clickBack(form);
    QTest::keyClick(form->ListBox1, Qt::Key_Up);
    QVERIFY(list->isHidden());
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "chengyugushi", list->item(0)->text()));
}

void TestCategoryForm::jobsReportToTheirOwnWindow()
{
    TCategoryForm *songs = createWindow("TergerForm");
    TCategoryForm *idioms = createWindow("Tchengyuform");
    const QString songTitle = songs->ListBox1->item(0)->text();
    const QString idiomTitle = idioms->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", songTitle), bigBody(), ContentServer::Answer::PauseHalf);
    m_download->serve(serverPath("chengyugushi", idiomTitle), bigBody());

    songs->ListBox1->setCurrentRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(m_download->halfSent(), transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(midway(songs), transferTimeoutMs);
    QCOMPARE(songs->PB->value(), songs->DownloadProgress);

    idioms->ListBox1->setCurrentRow(0);
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("chengyugushi", idiomTitle)).size(), qsizetype(bigBody().size()),
                              transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(idioms->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(idioms->DownloadProgress, 100);
    // The paused transfer's window saw none of it.
    QVERIFY(!songs->PB->isHidden());
    QVERIFY(midway(songs));
    QVERIFY(!QFile::exists(localFile("erger", songTitle)));

    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("erger", songTitle)).size(), qsizetype(bigBody().size()),
                              transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(songs->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(songs->DownloadProgress, 100);
}

void TestCategoryForm::twoJobsInOneWindow()
{
    TCategoryForm *form = createWindow("TergerForm");
    const QString first = form->ListBox1->item(0)->text();
    const QString second = form->ListBox1->item(1)->text();
    m_download->serve(serverPath("erger", first), bigBody(), ContentServer::Answer::PauseHalf);
    m_download->serve(serverPath("erger", second), bigBody());

    form->ListBox1->setCurrentRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(m_download->halfSent(), transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(midway(form), transferTimeoutMs);
    form->SpeedButton1Click();
    form->ListBox1->setCurrentRow(1);
    QCOMPARE(runningJobsOfLatestChoice(), 2);

    // The bar hides as soon as either transfer reaches 100 ...
    QTRY_VERIFY_WITH_TIMEOUT(form->PB->isHidden(), transferTimeoutMs);
    QVERIFY(QFile::exists(localFile("erger", second)));
    QVERIFY(!QFile::exists(localFile("erger", first)));

    // ... and stays hidden while the other one goes on.
    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    QCoreApplication::sendPostedEvents(form);
    QVERIFY(form->PB->isHidden());
    QCOMPARE(form->DownloadProgress, 100);
    QCOMPARE(fileBytes(localFile("erger", first)).size(), qsizetype(bigBody().size()));
}

void TestCategoryForm::backAndCloseWhileDownloading()
{
    TCategoryForm *form = createWindow("TergerForm");
    const QString first = form->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", first), bigBody(), ContentServer::Answer::PauseHalf);
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    clickTitle(form, 0);
    QTRY_VERIFY_WITH_TIMEOUT(midway(form), transferTimeoutMs);

    clickBack(form);
    QVERIFY(form->ListBox1->isVisible());
    QVERIFY(form->PB->isVisible());
    clickBack(form);
    QVERIFY(form->isHidden());

    // The job goes on while the window is hidden, and the bar follows it there.
    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(localFile("erger", first)).size(), qsizetype(bigBody().size()),
                              transferTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(form->PB->isHidden(), transferTimeoutMs);
    QCOMPARE(form->DownloadProgress, 100);

    // Shown again: the list as it was left.
    form->clearMask();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->ListBox1->isVisible());
    QCOMPARE(form->ListBox1->currentRow(), 0);
    QVERIFY(!form->mask().isEmpty());

    // Closed while the player shows a title: shown again, it still shows it.
    clickTitle(form, 0);
    const QString movie = form->ShockwaveFlash1->movie();
    QCOMPARE(movie, localFile("erger", first));
    form->close();
    QVERIFY(form->isHidden());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(form->ShockwaveFlash1->isVisible());
    QVERIFY(form->ListBox1->isHidden());
    QCOMPARE(form->ShockwaveFlash1->movie(), movie);
}

void TestCategoryForm::failedDownloadLeavesNoFile_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("refused");
    QTest::newRow("404") << int(ContentServer::Answer::NotFound) << false;
    QTest::newRow("server closes early") << int(ContentServer::Answer::CloseEarly) << false;
    QTest::newRow("connection refused") << int(ContentServer::Answer::Body) << true;
}

void TestCategoryForm::failedDownloadLeavesNoFile()
{
    QFETCH(int, answer);
    QFETCH(bool, refused);
    if (refused) {
        const std::string host = refusingHost();
        QVERIFY(!host.empty());
        useHosts(m_stream->host(), host);
    }
    TCategoryForm *form = createWindow("TergerForm");
    const QString title = form->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", title), bigBody(), ContentServer::Answer(answer));
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    clickTitle(form, 0);
    QVERIFY(!form->PB->isHidden());
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    QCoreApplication::sendPostedEvents(form);

    QVERIFY(!QFile::exists(localFile("erger", title)));
    QCOMPARE(QDir(programDir() + QStringLiteral("erger")).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
             QStringList());
    QVERIFY(!form->PB->isHidden());
    QVERIFY(form->DownloadProgress < 100);
    QCOMPARE(form->PB->value(), clampToBar(form->DownloadProgress));

    // The next choice streams the title again and starts a new job.
    clickBack(form);
    clickTitle(form, 0);
    QCOMPARE(form->ShockwaveFlash1->movie(), address(m_stream->host(), "erger", title));
    QTRY_COMPARE_WITH_TIMEOUT(runningJobsOfLatestChoice(), 0, transferTimeoutMs);
    if (!refused)
        QCOMPARE(m_download->requests(serverPath("erger", title)), 2);
}

void TestCategoryForm::missingPicture_data()
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

void TestCategoryForm::missingPicture()
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

void TestCategoryForm::titleLandsUnderExactName_data()
{
    QTest::addColumn<QByteArray>("windowClass");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("title");
    QTest::newRow("spaces, apostrophe") << QByteArray("TgwergerForm") << QStringLiteral("ywerger")
                                        << QStringLiteral("韵律诗the cock's on the housestop");
    QTest::newRow("space between Chinese") << QByteArray("TpinyinForm") << QStringLiteral("xpinyin")
                                           << QStringLiteral("小恐龙学拼音 第一课");
    QTest::newRow("typographic quotes") << QByteArray("TxyingyuForm") << QStringLiteral("xyingyu")
                                        << QStringLiteral("英语游戏“猫”跃倒钩");
    QTest::newRow("full stop inside") << QByteArray("TwanyouxiForm") << QStringLiteral("wanyx")
                                      << QStringLiteral("宠物连连看2.5版");
}

void TestCategoryForm::titleLandsUnderExactName()
{
    QFETCH(QByteArray, windowClass);
    QFETCH(QString, folder);
    QFETCH(QString, title);
    const std::string body = bigBody();
    ScriptedServer server({ScriptedServer::reply("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size())
                                                 + "\r\nConnection: close\r\n\r\n" + body)});
    QVERIFY(server.listening());
    useHosts(m_stream->host(), server.authority());

    TCategoryForm *form = createWindow(windowClass);
    const QList<QListWidgetItem *> found = form->ListBox1->findItems(title, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    form->ListBox1->setCurrentItem(found.first());

    const QString file = programDir() + folder + u'/' + title + QStringLiteral(".swf");
    QTRY_COMPARE_WITH_TIMEOUT(fileBytes(file).size(), qsizetype(body.size()), transferTimeoutMs);
    QCOMPARE(QDir(programDir() + folder).entryList(QDir::Files | QDir::Hidden), QStringList{title + QStringLiteral(".swf")});

    QVERIFY(server.waitForRequests(1, std::chrono::seconds(10)));
    const QByteArray target = requestTarget(server.requests().front());
    for (const char c : target)
        QVERIFY2(c > ' ' && static_cast<unsigned char>(c) < 0x7F, target.constData());
    QCOMPARE(QString::fromUtf8(QByteArray::fromPercentEncoding(target)), u'/' + folder + u'/' + title + QStringLiteral(".swf"));
}

void TestCategoryForm::windowDestroyedWhileJobRuns()
{
    TCategoryForm *form = createWindow("TergerForm");
    const QString title = form->ListBox1->item(0)->text();
    m_download->serve(serverPath("erger", title), bigBody(), ContentServer::Answer::PauseHalf);
    form->ListBox1->setCurrentRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(midway(form), transferTimeoutMs);

    // Reports made after this point reach nothing; the transfer still completes.
    delete form;
    m_download->release();
    QTRY_COMPARE_WITH_TIMEOUT(currentTransfer.formname.use_count(), 1L, transferTimeoutMs);
    QCoreApplication::processEvents();
    QCOMPARE(fileBytes(localFile("erger", title)).size(), qsizetype(bigBody().size()));
}

void TestCategoryForm::restingPlayerGoesAndComesBack()
{
    constexpr std::chrono::milliseconds idle(200);
    PlayerRest::setIdleTimeForTesting(idle);
    TCategoryForm *songs = createWindow("TergerForm");
    TCategoryForm *idioms = createWindow("Tchengyuform");
    const QString song = songs->ListBox1->item(0)->text();
    const QString stalled = songs->ListBox1->item(1)->text();
    const QString idiom = idioms->ListBox1->item(0)->text();
    QVERIFY(writeBytes(localFile("erger", song), cardMovie()));
    QVERIFY(writeBytes(localFile("chengyugushi", idiom), cardMovie()));
    m_stream->serve(serverPath("erger", stalled), cardBytes(), ContentServer::Answer::PauseHalf);

    songs->show();
    QVERIFY(QTest::qWaitForWindowExposed(songs));
    QSignalSpy songLoaded(songs->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(songs, 0);
    QTRY_COMPARE_WITH_TIMEOUT(songLoaded.count(), 1, playerTimeoutMs);
    QVERIFY(!rendererProcesses().isEmpty());
    // A shown window keeps the player warm, also while the child reads its list.
    clickBack(songs);
    QTest::qWait(5 * idle.count());
    QVERIFY(PlayerEngine::exists());

    // Closed while a title still loads: once the launcher has rested, the player and its
    // renderer are gone.
    clickTitle(songs, 1);
    QTRY_VERIFY_WITH_TIMEOUT(m_stream->halfSent(), playerTimeoutMs);
    songs->close();
    QTRY_VERIFY_WITH_TIMEOUT(!PlayerEngine::exists(), playerTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(rendererProcesses().isEmpty(), playerTimeoutMs);

    // The next window's first title plays in a player made afresh.
    idioms->show();
    QVERIFY(QTest::qWaitForWindowExposed(idioms));
    QSignalSpy idiomLoaded(idioms->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    clickTitle(idioms, 0);
    QTRY_COMPARE_WITH_TIMEOUT(idiomLoaded.count(), 1, playerTimeoutMs);
    QVERIFY(PlayerEngine::exists());

    // The window closed while loading starts its title over when shown again.
    m_stream->release();
    songs->show();
    QVERIFY(QTest::qWaitForWindowExposed(songs));
    QTRY_COMPARE_WITH_TIMEOUT(songLoaded.count(), 2, playerTimeoutMs);
    QCOMPARE(songs->ShockwaveFlash1->movie(), address(m_stream->host(), "erger", stalled));
}

int main(int argc, char **argv)
{
    ShockwaveFlash::setUpProcess();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kivora"));
    app.setQuitOnLastWindowClosed(false);
    Theme::apply(app, QStringLiteral("Metropolis UI Green"));
    TestCategoryForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_categoryform.moc"
