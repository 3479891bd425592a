// The page in the player's own process, as the program runs it: what a child sees, and what
// happens when that process goes.
#include "platform/player/ShockwaveFlash.h"
#include "platform/player/playerengine.h"
#include "tests/platform/player/playerwindow.h"
#include "tests/platform/player/shownmovie.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <memory>

using kivora::PlayerEngine;
using kivora::ShockwaveFlash;
using kivora::test::PlayerWindow;
using kivora::test::showsCard;

namespace {

constexpr int loadTimeoutMs = 60000;

// The processes started by this one.
QList<qint64> childProcesses()
{
    QFile file(QStringLiteral("/proc/%1/task/%1/children").arg(QCoreApplication::applicationPid()));
    QList<qint64> pids;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &pid : file.readAll().split(' '))
            if (pid.toLongLong() > 0)
                pids.append(pid.toLongLong());
    }
    return pids;
}

bool mapsWebEngine(qint64 pid)
{
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pid));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
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
        QCOMPARE(childProcesses().size(), 1);
        QVERIFY(mapsWebEngine(childProcesses().constFirst()));
        QVERIFY(!mapsWebEngine(QCoreApplication::applicationPid()));

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
    QTRY_VERIFY_WITH_TIMEOUT(childProcesses().isEmpty(), loadTimeoutMs);
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
    const qint64 player = childProcesses().value(0);
    QVERIFY(player > 0);
    ::kill(pid_t(player), SIGKILL);
    QTRY_VERIFY_WITH_TIMEOUT(!childProcesses().contains(player), loadTimeoutMs);
    QVERIFY(window.window.isVisible());
    window.player->setMovie(m_movie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 2, loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(showsCard(*window.player), loadTimeoutMs);
    QCOMPARE(childProcesses().size(), 1);
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
