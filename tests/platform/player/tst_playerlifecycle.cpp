// The player controls' life cycle around the one shared page, with a stand-in for the web
// engine: fast, and about what the controls decide rather than what the page draws.
#include "platform/player/ShockwaveFlash.h"
#include "platform/player/playerengine.h"
#include "platform/player/playermodule.h"
#include "platform/player/playerrest.h"
#include "tests/platform/player/playerwindow.h"
#include "tests/platform/player/fakeplayerbackend.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/testfiles.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <memory>

using kivora::PlayerEngine;
using kivora::PlayerRest;
using kivora::ShockwaveFlash;
using kivora::test::PlayerWindow;
using kivora::test::FakePlayerBackend;
using kivora::test::ScratchFolder;

namespace {

constexpr int reportTimeoutMs = 5000;

} // namespace

class TestPlayerLifecycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void hiddenWindowResumesOrStartsOver_data();
    void hiddenWindowResumesOrStartsOver();
    void lostPageFailsOnlyTheHoldersTitle();
    void restLetsThePageGoUntilAWindowShows();
    void moduleThatCannotLoadFailsTitlesWithItsReason();

private:
    ScratchFolder m_folder;
    QString m_movie;
};

void TestPlayerLifecycle::initTestCase()
{
    const std::filesystem::path movie = m_folder.path() / "card.swf";
    kivora::test::writeFile(movie, "FWS");
    m_movie = QString::fromStdString(movie.string());
    PlayerEngine::setBackendFactoryForTesting(
        [](kivora::PlayerBackend::Events &events) { return std::make_unique<FakePlayerBackend>(events); });
}

void TestPlayerLifecycle::init()
{
    PlayerRest::setIdleTimeForTesting(std::chrono::minutes(1));
}

void TestPlayerLifecycle::cleanupTestCase()
{
    PlayerEngine::setBackendFactoryForTesting({});
}

void TestPlayerLifecycle::hiddenWindowResumesOrStartsOver_data()
{
    QTest::addColumn<bool>("otherPlaysMeanwhile");
    QTest::newRow("the page kept its movie") << false;
    QTest::newRow("another window took the page") << true;
}

void TestPlayerLifecycle::hiddenWindowResumesOrStartsOver()
{
    QFETCH(bool, otherPlaysMeanwhile);
    PlayerWindow first;
    QSignalSpy loaded(first.player, &ShockwaveFlash::movieLoaded);
    first.player->setMovie(m_movie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, reportTimeoutMs);
    FakePlayerBackend *page = FakePlayerBackend::live;
    QVERIFY(page);

    first.window.showMinimized();
    first.window.hide();
    if (otherPlaysMeanwhile) {
        PlayerWindow second;
        second.player->setMovie(m_movie);
        QVERIFY(second.player->holdsEngine());
    }
    page->calls.clear();
    first.window.show();

    // Paused in place, it plays on; displaced, it starts over once, as a new movie.
    QVERIFY(first.player->holdsEngine());
    QCOMPARE(page->calls.contains(QStringLiteral("resume 1")), !otherPlaysMeanwhile);
    QCOMPARE(page->calls.filter(QStringLiteral("load ")).size(), otherPlaysMeanwhile ? 1 : 0);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), otherPlaysMeanwhile ? 2 : 1, reportTimeoutMs);
}

void TestPlayerLifecycle::lostPageFailsOnlyTheHoldersTitle()
{
    PlayerWindow holder;
    PlayerWindow other;
    other.player->setMovie(m_movie);
    holder.player->setMovie(m_movie);
    QSignalSpy holderFailed(holder.player, &ShockwaveFlash::movieFailed);
    QSignalSpy otherFailed(other.player, &ShockwaveFlash::movieFailed);

    FakePlayerBackend::live->losePage(QStringLiteral("the player's web process ended"));
    QCOMPARE(holderFailed.size(), 1);
    QCOMPARE(holderFailed.first().at(1).toString(), QStringLiteral("the player's web process ended"));
    QCOMPARE(otherFailed.size(), 0);
}

void TestPlayerLifecycle::restLetsThePageGoUntilAWindowShows()
{
    PlayerRest::setIdleTimeForTesting(std::chrono::milliseconds(50));
    PlayerWindow window;
    QSignalSpy loaded(window.player, &ShockwaveFlash::movieLoaded);
    window.player->setMovie(m_movie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, reportTimeoutMs);

    // Closed: the page is recycled at once, and let go once the launcher has rested.
    window.window.hide();
    QTRY_VERIFY(FakePlayerBackend::live && FakePlayerBackend::live->calls.contains(QStringLiteral("recycle")));
    QTRY_VERIFY_WITH_TIMEOUT(!PlayerEngine::exists(), reportTimeoutMs);
    QVERIFY(!FakePlayerBackend::live);

    // Shown again, the window's title starts over on a page made afresh.
    const int made = FakePlayerBackend::made;
    window.window.show();
    QCOMPARE(FakePlayerBackend::made, made + 1);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 2, reportTimeoutMs);
}

void TestPlayerLifecycle::moduleThatCannotLoadFailsTitlesWithItsReason()
{
    PlayerEngine::setBackendFactoryForTesting([](kivora::PlayerBackend::Events &events) {
        static const unsigned char notAModule[] = "\x7f" "ELF but no more";
        return kivora::PlayerModule(notAModule).createBackend(events);
    });
    PlayerWindow first;
    PlayerWindow second;
    for (ShockwaveFlash *player : {first.player, second.player}) {
        QSignalSpy failed(player, &ShockwaveFlash::movieFailed);
        player->setMovie(m_movie);
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, reportTimeoutMs);
        const QString reason = failed.first().at(1).toString();
        QVERIFY2(reason.startsWith(QLatin1String("The SWF player cannot be created: the player module could not be loaded")),
                 qPrintable(reason));
    }
    QVERIFY(first.window.isVisible());
    QVERIFY(!PlayerEngine::exists());
    PlayerEngine::setBackendFactoryForTesting(
        [](kivora::PlayerBackend::Events &events) { return std::make_unique<FakePlayerBackend>(events); });
}

int main(int argc, char **argv)
{
    ShockwaveFlash::setUpProcess();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestPlayerLifecycle test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playerlifecycle.moc"
