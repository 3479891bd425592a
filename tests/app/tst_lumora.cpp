#include "tests/support/processtree.h"
#include "tests/support/scratchfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

// The real program in a program directory of its own, on a real X display, driven from
// outside as a user would drive it.
class TestLumora : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void shownCentredAndShaped();
    void closeButtonEndsWithStatusZero();
    void siteOpensItsWindowOverTheLauncher();
    void launcherStartsWithoutWebEngineOrTransfers();
    void desktopCloseRequestEndsProgramWhileEngineStarts();
    void unusablePlayerEndsStartUpWithApplicationError();

private:
    struct Geometry
    {
        int x = 0, y = 0, width = 0, height = 0;
    };

    std::optional<QString> xdotool(const QStringList &arguments);
    std::optional<QString> waitForWindow(const QString &name);
    std::optional<Geometry> geometryOf(const QString &window);
    std::optional<QString> windowUnder(int x, int y);
    bool click(int x, int y);
    // Finds the launcher and clicks its children's-songs site; gives the launcher's window.
    std::optional<QString> clickSongsSite(Geometry *launcherGeometry = nullptr);
    bool startLumora(const QProcessEnvironment &extra = {});

    QString m_xdotool;
    std::optional<kivora::test::ScratchFolder> m_directory;
    QProcess m_lumora;
};

namespace {

// Where a launcher site lies on the window: Panel1 is at (72, 56).
QPoint siteInWindow(QPoint panelPoint)
{
    return panelPoint + QPoint(72, 56);
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// What a desktop sends when the user closes a window from its task list: WM_DELETE_WINDOW.
bool sendCloseRequest(const QString &window)
{
    std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connection(xcb_connect(nullptr, nullptr),
                                                                            &xcb_disconnect);
    if (xcb_connection_has_error(connection.get()))
        return false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window.toUInt();
    event.type = atom(connection.get(), "WM_PROTOCOLS");
    event.data.data32[0] = atom(connection.get(), "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    // Checked, and waited for: a request still unread when the sender hangs up is lost when
    // the server is busy (as it is while the category window first paints).
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
        xcb_request_check(connection.get(),
                          xcb_send_event_checked(connection.get(), 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                                                 reinterpret_cast<const char *>(&event))),
        &std::free);
    return !error;
}

} // namespace

std::optional<QString> TestLumora::xdotool(const QStringList &arguments)
{
    // Xvfb now and then refuses a connection while clients come and go quickly (a program
    // and its player ending): such a refusal is tried again.
    for (int attempt = 0;; ++attempt) {
        QProcess process;
        process.start(m_xdotool, arguments);
        if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
        process.kill();
        process.waitForFinished();
        const QByteArray error = process.readAllStandardError();
        if (attempt < 5 && error.contains("Can't open display")) {
            QTest::qWait(300);
            continue;
        }
        qWarning() << "xdotool" << arguments << "failed:" << error;
        return std::nullopt;
    }
}

std::optional<QString> TestLumora::waitForWindow(const QString &name)
{
    // xdotool gives up when a window it is looking at vanishes meanwhile (the player's engine
    // makes and drops windows of its own), so a failed search is asked again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const auto found = xdotool({"search", "--sync", "--all", "--onlyvisible", "--pid",
                                    QString::number(m_lumora.processId()), "--name", QStringLiteral("^%1$").arg(name)});
        if (found)
            return found->split(u'\n').front();
    }
    return std::nullopt;
}

std::optional<TestLumora::Geometry> TestLumora::geometryOf(const QString &window)
{
    const auto shell = xdotool({"getwindowgeometry", "--shell", window});
    if (!shell)
        return std::nullopt;
    Geometry geometry;
    for (const QString &line : shell->split(u'\n')) {
        const QString value = line.section(u'=', 1);
        if (line.startsWith(QLatin1String("X=")))
            geometry.x = value.toInt();
        else if (line.startsWith(QLatin1String("Y=")))
            geometry.y = value.toInt();
        else if (line.startsWith(QLatin1String("WIDTH=")))
            geometry.width = value.toInt();
        else if (line.startsWith(QLatin1String("HEIGHT=")))
            geometry.height = value.toInt();
    }
    return geometry;
}

std::optional<QString> TestLumora::windowUnder(int x, int y)
{
    const auto shell = xdotool({"mousemove", "--sync", QString::number(x), QString::number(y), "getmouselocation", "--shell"});
    if (!shell)
        return std::nullopt;
    for (const QString &line : shell->split(u'\n')) {
        if (line.startsWith(QLatin1String("WINDOW=")))
            return line.section(u'=', 1);
    }
    return std::nullopt;
}

bool TestLumora::click(int x, int y)
{
    return xdotool({"mousemove", "--sync", QString::number(x), QString::number(y), "click", "1"}).has_value();
}

std::optional<QString> TestLumora::clickSongsSite(Geometry *launcherGeometry)
{
    const auto launcher = waitForWindow(QStringLiteral("mainForm"));
    const auto geometry = launcher ? geometryOf(*launcher) : std::nullopt;
    if (!geometry)
        return std::nullopt;
    if (launcherGeometry)
        *launcherGeometry = *geometry;
    const QPoint site = siteInWindow({148, 60});
    return click(geometry->x + site.x(), geometry->y + site.y()) ? launcher : std::nullopt;
}

bool TestLumora::startLumora(const QProcessEnvironment &extra)
{
    m_directory.emplace();
    if (!m_directory->isValid())
        return false;
    const QString directory = QFile::decodeName(m_directory->path().c_str()) + u'/';
    if (!QFile::copy(QStringLiteral(KIVORA_LUMORA), directory + QStringLiteral("lumora")))
        return false;
    const QString pictures = QStringLiteral(KIVORA_TEST_PICTURES "/");
    if (!QFile::copy(pictures + QStringLiteral("10.png"), directory + QStringLiteral("10.png"))
        || !QFile::copy(pictures + QStringLiteral("category_background.png"), directory + QStringLiteral("ipadmain3.png"))
        || !QFile::copy(pictures + QStringLiteral("category_panel.jpg"), directory + QStringLiteral("1003.jpg")))
        return false;

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString &name : extra.keys())
        environment.insert(name, extra.value(name));
    m_lumora.setProcessEnvironment(environment);
    m_lumora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Arguments are ignored by the program and by its toolkit: were "-platform offscreen"
    // read, no window would reach the X display.
    m_lumora.start(directory + QStringLiteral("lumora"), {"--no-such-option", "erger", "-platform", "offscreen"});
    return m_lumora.waitForStarted();
}

void TestLumora::initTestCase()
{
    m_xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (m_xdotool.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X display and xdotool");
}

void TestLumora::init()
{
    // The pointer rests on the desktop's corner, away from every site.
    QVERIFY(xdotool({"mousemove", "--sync", "0", "0"}));
    if (QString::fromLatin1(QTest::currentTestFunction()) != QLatin1String("unusablePlayerEndsStartUpWithApplicationError"))
        QVERIFY(startLumora());
}

void TestLumora::cleanup()
{
    if (m_lumora.state() != QProcess::NotRunning) {
        m_lumora.kill();
        m_lumora.waitForFinished();
    }
    m_directory.reset();
}

void TestLumora::shownCentredAndShaped()
{
    const auto launcher = waitForWindow(QStringLiteral("mainForm"));
    QVERIFY(launcher);
    const auto geometry = geometryOf(*launcher);
    QVERIFY(geometry);
    const auto display = xdotool({"getdisplaygeometry"});
    QVERIFY(display);
    const int displayWidth = display->section(u' ', 0, 0).toInt();
    const int displayHeight = display->section(u' ', 1, 1).toInt();
    QCOMPARE(geometry->width, 845);
    QCOMPARE(geometry->height, 628);
    QCOMPARE(geometry->x, std::max(0, displayWidth / 2 - 845 / 2));
    QCOMPARE(geometry->y, std::max(0, displayHeight / 2 - 628 / 2));

    // The strips and corners outside the region let the pointer through to the desktop.
    const struct { int x, y; bool launcher; } probes[] = {
        {2, 314, false}, {4, 314, false}, {5, 314, true}, {422, 2, false}, {422, 5, true},
        {6, 6, false}, {838, 6, false}, {6, 621, false}, {838, 621, false},
        {30, 314, true}, {805, 314, true}, {844, 627 - 60, true},
    };
    for (const auto &probe : probes) {
        const auto under = windowUnder(geometry->x + probe.x, geometry->y + probe.y);
        QVERIFY(under);
        QVERIFY2((*under == *launcher) == probe.launcher,
                 qPrintable(QStringLiteral("(%1, %2)").arg(probe.x).arg(probe.y)));
    }
}

void TestLumora::closeButtonEndsWithStatusZero()
{
    const auto launcher = waitForWindow(QStringLiteral("mainForm"));
    QVERIFY(launcher);
    const auto geometry = geometryOf(*launcher);
    QVERIFY(geometry);
    QVERIFY(click(geometry->x + 805, geometry->y + 314));
    QVERIFY(m_lumora.waitForFinished(60000));
    QCOMPARE(m_lumora.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_lumora.exitCode(), 0);
}

void TestLumora::siteOpensItsWindowOverTheLauncher()
{
    Geometry launcher;
    QVERIFY(clickSongsSite(&launcher));
    const Geometry *const geometry = &launcher;

    // xdotool's queries fail when a window they touch vanishes meanwhile, and the player's
    // engine starts as the window first shows: ask again.
    std::optional<Geometry> songsGeometry;
    for (int attempt = 0; attempt < 5 && !songsGeometry; ++attempt) {
        if (const auto songs = waitForWindow(QStringLiteral("ergerForm")))
            songsGeometry = geometryOf(*songs);
    }
    QVERIFY(songsGeometry);
    QCOMPARE(songsGeometry->width, 1200);
    QCOMPARE(songsGeometry->height, 850);
    // Same centre as the launcher, so it covers it.
    QCOMPARE(songsGeometry->x + 600, geometry->x + 845 / 2);
    QCOMPARE(songsGeometry->y + 425, geometry->y + 314);
}

void TestLumora::launcherStartsWithoutWebEngineOrTransfers()
{
    using kivora::test::mapsFile;
    const auto lumora = static_cast<pid_t>(m_lumora.processId());
    const auto childMapped = [&](const char *library) {
        const std::vector<pid_t> children = kivora::test::childProcesses(lumora);
        return std::any_of(children.begin(), children.end(), [&](pid_t child) { return mapsFile(child, library); });
    };
    QVERIFY(waitForWindow(QStringLiteral("mainForm")));
    QVERIFY(!mapsFile(lumora, "libQt6WebEngineCore"));
    QVERIFY(!mapsFile(lumora, "libcurl"));

    // A category window prepares its player as it shows: the engine comes then, in the
    // player's own process. The launcher never maps it.
    QVERIFY(clickSongsSite());
    QVERIFY(waitForWindow(QStringLiteral("ergerForm")));
    QTRY_VERIFY_WITH_TIMEOUT(childMapped("libQt6WebEngineCore"), 30000);
    QVERIFY(!mapsFile(lumora, "libQt6WebEngineCore"));
}

void TestLumora::desktopCloseRequestEndsProgramWhileEngineStarts()
{
    // The category window starts the player's engine as it first shows; a close request for
    // the launcher that arrives meanwhile still ends the program, every time.
    for (int round = 0; round < 5; ++round) {
        if (round > 0)
            QVERIFY(startLumora());
        const auto launcher = clickSongsSite();
        QVERIFY(launcher);
        QVERIFY(waitForWindow(QStringLiteral("ergerForm")));
        QVERIFY(sendCloseRequest(*launcher));
        QVERIFY2(m_lumora.waitForFinished(30000), qPrintable(QStringLiteral("round %1").arg(round)));
        QCOMPARE(m_lumora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_lumora.exitCode(), 0);
    }
}

void TestLumora::unusablePlayerEndsStartUpWithApplicationError()
{
    // Without the web engine's helper program no category window can have its player.
    QProcessEnvironment broken;
    broken.insert(QStringLiteral("QTWEBENGINEPROCESS_PATH"), QStringLiteral("/nonexistent/QtWebEngineProcess"));
    QVERIFY(startLumora(broken));
    const auto box = waitForWindow(QStringLiteral("Application Error"));
    QVERIFY(box);
    QCOMPARE(m_lumora.state(), QProcess::Running);
    // The box takes the key press and the program ends before the release reaches it,
    // so xdotool's own verdict says nothing here.
    xdotool({"key", "--window", *box, "Return"});
    QVERIFY(m_lumora.waitForFinished(60000));
    QCOMPARE(m_lumora.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_lumora.exitCode(), 1);
}

QTEST_GUILESS_MAIN(TestLumora)

#include "tst_lumora.moc"
