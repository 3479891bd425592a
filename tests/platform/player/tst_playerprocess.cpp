// The page in the player's own process, as the program runs it: what a child sees, and what
// happens when that process goes.
#include "platform/player/ShockwaveFlash.h"
#include "platform/player/playerengine.h"
#include "tests/platform/player/playerwindow.h"
#include "tests/platform/player/shownmovie.h"
#include "tests/support/processtree.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <memory>

using kivora::PlayerEngine;
using kivora::ShockwaveFlash;
using kivora::test::PlayerWindow;
using kivora::test::showsCard;

namespace {

constexpr int loadTimeoutMs = 60000;

// The processes started by this one.
std::vector<pid_t> playerProcesses()
{
    return kivora::test::childProcesses(::getpid());
}

bool mapsWebEngine(pid_t pid)
{
    return kivora::test::mapsFile(pid, "libQt6WebEngineCore");
}

} // namespace

class TestPlayerProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void playsInItsOwnProcessAcrossWindows();
    void lostProcessGivesWayToANewOne();

private:
    kivora::test::ScratchFolder m_folder;
    QString m_movie;
};

void TestPlayerProcess::initTestCase()
{
    const std::filesystem::path movie = m_folder.path() / "card.swf";
    kivora::test::writeFile(movie, kivora::test::cardMovie().toStdString());
    m_movie = QString::fromStdString(movie.string());
}

void TestPlayerProcess::playsInItsOwnProcessAcrossWindows()
{
    {
        PlayerWindow first;
        QVERIFY(QTest::qWaitForWindowExposed(&first.window));
        QSignalSpy loaded(first.player, &ShockwaveFlash::movieLoaded);
        first.player->setMovie(m_movie);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(showsCard(*first.player), loadTimeoutMs);
        // The web engine is the player process's: this one never maps it.
        QCOMPARE(playerProcesses().size(), std::size_t(1));
        QVERIFY(mapsWebEngine(playerProcesses().front()));
        QVERIFY(!mapsWebEngine(::getpid()));

        // Closed, which takes its X window, and shown again: the player's window is back in it.
        first.window.close();
        QTest::qWait(200);
        first.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first.window));
        QTRY_VERIFY_WITH_TIMEOUT(showsCard(*first.player), loadTimeoutMs);
        // Another window takes the page.
        PlayerWindow second;
        QVERIFY(QTest::qWaitForWindowExposed(&second.window));
        QSignalSpy secondLoaded(second.player, &ShockwaveFlash::movieLoaded);
        second.player->setMovie(m_movie);
        QTRY_COMPARE_WITH_TIMEOUT(secondLoaded.size(), 1, loadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(showsCard(*second.player), loadTimeoutMs);
    }
    // The last control gone, the engine and its process go.
    QVERIFY(!PlayerEngine::exists());
    QTRY_VERIFY_WITH_TIMEOUT(playerProcesses().empty(), loadTimeoutMs);
}

void TestPlayerProcess::lostProcessGivesWayToANewOne()
{
    PlayerWindow window;
    QVERIFY(QTest::qWaitForWindowExposed(&window.window));
    QSignalSpy loaded(window.player, &ShockwaveFlash::movieLoaded);
    window.player->setMovie(m_movie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);

    // The process goes under the window (it crashed, or the system ended it): the window
    // lives on, and the next title starts a process anew.
    const std::vector<pid_t> players = playerProcesses();
    const pid_t player = players.empty() ? 0 : players.front();
    QVERIFY(player > 0);
    ::kill(player, SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!std::ranges::count(playerProcesses(), player), loadTimeoutMs);
    QVERIFY(window.window.isVisible());
    window.player->setMovie(m_movie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 2, loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(showsCard(*window.player), loadTimeoutMs);
    QCOMPARE(playerProcesses().size(), std::size_t(1));
}

int main(int argc, char **argv)
{
    ShockwaveFlash::setUpProcess();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestPlayerProcess test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playerprocess.moc"
