#include "platform/player/ShockwaveFlash.h"
#include "platform/player/playerengine.h"
#include "platform/player/playermodule.h"
#include "tests/support/logcollector.h"
#include "tests/support/loopbackserver.h"
#include "tests/support/scratchfolder.h"
#include "tests/support/scriptedserver.h"
#include "tests/support/testfiles.h"
#include "tools/swf/swfmovie.h"
#include "tools/swf/swftags.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>

using kivora::ShockwaveFlash;
using kivora::test::LogCollector;
using kivora::test::ScratchFolder;
using kivora::test::ScriptedExchange;
using kivora::test::ScriptedServer;
using kivora::test::writeFile;

namespace {

constexpr int loadTimeoutMs = 60000;
const QColor cardColour(0xF2, 0x6B, 0x1D);
const QColor letterboxColour(Qt::black);

QByteArray fixture()
{
    QFile file(QStringLiteral(KIVORA_PLAYER_TEST_DATA "/card.swf"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A pale blue stage that, in its first frame, loads `sibling` (a relative address) into
// level 1 above itself, as a game loads its next level.
QByteArray siblingLoader(const QString &sibling)
{
    using namespace kivora::swf;
    SwfMovie movie(Rect{0, 550 * twipsPerPixel, 0, 400 * twipsPerPixel}, 12);
    movie.addTag(TagCode::SetBackgroundColor, backgroundColourBody(Rgba{0x9C, 0xD3, 0xF0}));
    movie.addTag(TagCode::DoAction, loadMovieNumBody(sibling.toStdString(), 1));
    movie.showFrame();
    const Bytes bytes = movie.serialize(Compression::None);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}

// A point of the player where the fixture's card lies above its title (the movie is
// letterboxed, centred, as tall as the player).
QColor cardPointOf(QWidget &widget)
{
    const QImage image = widget.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() * 3 / 10);
}

bool showsCard(QWidget &widget)
{
    return near(cardPointOf(widget), cardColour);
}

bool showsNothing(QWidget &widget)
{
    return near(cardPointOf(widget), letterboxColour);
}

QWebEnginePage *pageOf(ShockwaveFlash &player)
{
    auto *view = player.findChild<QWebEngineView *>();
    return view ? view->page() : nullptr;
}

// Runs script on the player's page and waits for its result.
QVariant evaluate(ShockwaveFlash &player, const QString &script)
{
    QVariant result;
    bool done = false;
    pageOf(player)->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, loadTimeoutMs))
        return QStringLiteral("timed out");
    return result;
}

// What the page has now: whether a movie is there and whether it plays (sound included).
QVariantMap pageState(ShockwaveFlash &player)
{
    return evaluate(player, QStringLiteral("kivoraPlayer.state()")).toMap();
}

bool isPlaying(ShockwaveFlash &player)
{
    return pageOf(player) && pageState(player).value(QStringLiteral("playing")).toBool();
}

bool processAlive(qint64 pid)
{
    return pid > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

int webViews()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        count += qobject_cast<QWebEngineView *>(widget) ? 1 : 0;
    return count;
}

QString pathOf(const ScratchFolder &folder)
{
    return QFile::decodeName(folder.path().c_str());
}

// Movies on a loopback address under the exact request targets the player is expected to
// send (percent-encoded as on the wire); anything else is 404. Records every target asked for.
class MovieServer
{
public:
    // Before start().
    void serve(const std::string &rawTarget, const QByteArray &movie) { m_movies[rawTarget] = movie.toStdString(); }
    void redirect(const std::string &rawTarget, const std::string &location) { m_redirects[rawTarget] = location; }

    bool start(std::string_view address = "127.0.0.1")
    {
        m_loopback.server().Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            {
                std::lock_guard lock(m_mutex);
                m_targets.append(QByteArray::fromStdString(request.target));
            }
            if (const auto moved = m_redirects.find(request.target); moved != m_redirects.end()) {
                response.set_redirect(moved->second);
                return;
            }
            const auto found = m_movies.find(request.target);
            if (found == m_movies.end()) {
                response.status = 404;
                response.set_content("not here", "text/plain");
                return;
            }
            response.set_content(found->second, "application/x-shockwave-flash");
        });
        return m_loopback.start(address);
    }

    int port() const { return m_loopback.port(); }

    QList<QByteArray> requestedTargets() const
    {
        std::lock_guard lock(m_mutex);
        return m_targets;
    }

private:
    std::map<std::string, std::string> m_movies;
    std::map<std::string, std::string> m_redirects;
    mutable std::mutex m_mutex;
    QList<QByteArray> m_targets;
    kivora::test::LoopbackServer m_loopback;
};

// The stop path of a category window: an executable's path followed by "A123.swf".
QString stopPath()
{
    return QCoreApplication::applicationFilePath() + QStringLiteral("A123.swf");
}

} // namespace

class TestShockwaveFlash : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void playsMovie_data();
    void playsMovie();
    void stopPathDropsMovie_data();
    void stopPathDropsMovie();
    void reportsMoviesItCannotPlay_data();
    void reportsMoviesItCannotPlay();
    void refusesOutsideAddresses();
    void siblingRedirectedElsewhereReachesNothing_data();
    void siblingRedirectedElsewhereReachesNothing();
    void readsOnlyItsOwnFont();
    void missingAssetsFailConstruction();
    void fillsParentClientArea();
    void playersShareOnePage();
    void hiddenPlayerPlaysNothing_data();
    void hiddenPlayerPlaysNothing();

private:
    std::unique_ptr<ShockwaveFlash> makePlayer();

    ScratchFolder m_folder;
    MovieServer m_server;
    QString m_localMovie;
    QString m_localLoader; // beside m_localMovie; loads it by its name
    std::unique_ptr<QWidget> m_window;
};

void TestShockwaveFlash::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const QByteArray swf = fixture();
    QVERIFY(swf.startsWith("FWS"));
    m_localMovie = pathOf(m_folder) + QStringLiteral("/erger/做客歌.swf");
    m_localLoader = pathOf(m_folder) + QStringLiteral("/erger/levels.swf");
    writeFile(QFile::encodeName(m_localMovie).toStdString(), swf.toStdString());
    writeFile(QFile::encodeName(m_localLoader).toStdString(), siblingLoader(QStringLiteral("做客歌.swf")).toStdString());

    m_server.serve("/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf", swf);
    // Each sibling under a name of its own: the server's record tells which row read it.
    m_server.serve("/erger/levels.swf", siblingLoader(QStringLiteral("关卡 2.swf")));
    m_server.serve("/erger/%E5%85%B3%E5%8D%A1%202.swf", swf);
    m_server.serve("/erger/moved-levels.swf", siblingLoader(QStringLiteral("moved.swf")));
    m_server.redirect("/erger/moved.swf", "/erger/after-move.swf");
    m_server.serve("/erger/after-move.swf", swf);
    m_server.serve("/ywerger/%E9%9F%B5%E5%BE%8B%E8%AF%97the%20cock's%20on%20the%20housestop.swf", swf);
    QVERIFY(m_server.start());

    m_window = std::make_unique<QWidget>();
    m_window->resize(975, 679);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

std::unique_ptr<ShockwaveFlash> TestShockwaveFlash::makePlayer()
{
    auto player = std::make_unique<ShockwaveFlash>(m_window.get());
    player->setAlignClient();
    player->show();
    return player;
}

void TestShockwaveFlash::playsMovie_data()
{
    QTest::addColumn<QString>("movie");
    QTest::addColumn<QByteArray>("pathOnServer"); // the card's, as asked for; empty: a local file
    QTest::addColumn<bool>("prepared");

    const QString host = QStringLiteral("http://127.0.0.1:%1").arg(m_server.port());
    QTest::newRow("local path") << m_localMovie << QByteArray() << false;
    QTest::newRow("local path, player prepared") << m_localMovie << QByteArray() << true;
    QTest::newRow("streamed, Chinese title")
        << host + QStringLiteral("/erger/做客歌.swf") << QByteArray("/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf") << false;
    QTest::newRow("streamed, spaces and apostrophe")
        << host + QStringLiteral("/ywerger/韵律诗the cock's on the housestop.swf")
        << QByteArray("/ywerger/%E9%9F%B5%E5%BE%8B%E8%AF%97the%20cock's%20on%20the%20housestop.swf") << false;
    // A title that loads its parts by relative addresses finds them beside it: in its
    // category folder, or in its folder on the streaming server. The loader's own stage is
    // blue; the card shows only once its sibling was read.
    QTest::newRow("local, loads a sibling") << m_localLoader << QByteArray() << false;
    QTest::newRow("streamed, loads a sibling")
        << host + QStringLiteral("/erger/levels.swf") << QByteArray("/erger/%E5%85%B3%E5%8D%A1%202.swf") << false;
    QTest::newRow("streamed, loads a sibling moved on its own server")
        << host + QStringLiteral("/erger/moved-levels.swf") << QByteArray("/erger/after-move.swf") << false;
}

void TestShockwaveFlash::playsMovie()
{
    QFETCH(QString, movie);
    QFETCH(QByteArray, pathOnServer);
    QFETCH(bool, prepared);

    auto player = makePlayer();
    if (prepared)
        player->prepare();
    QSignalSpy loaded(player.get(), &ShockwaveFlash::movieLoaded);
    QSignalSpy failed(player.get(), &ShockwaveFlash::movieFailed);
    player->setMovie(movie);
    player->repaint();
    QCOMPARE(player->movie(), movie);

    QTRY_COMPARE_WITH_TIMEOUT(loaded.size() + failed.size(), 1, loadTimeoutMs);
    QVERIFY2(failed.isEmpty(), qPrintable(failed.value(0).value(1).toString()));
    QCOMPARE(loaded.first().first().toString(), movie);
    QTRY_VERIFY_WITH_TIMEOUT(showsCard(*player), loadTimeoutMs);
    if (!pathOnServer.isEmpty())
        QVERIFY(m_server.requestedTargets().contains(pathOnServer));

    // The same player plays a second movie as well.
    player->setMovie(movie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 2, loadTimeoutMs);
    QCOMPARE(failed.size(), 0);
}

void TestShockwaveFlash::stopPathDropsMovie_data()
{
    QTest::addColumn<bool>("stillLoading");
    QTest::newRow("playing movie") << false;
    QTest::newRow("movie still loading") << true;
}

void TestShockwaveFlash::stopPathDropsMovie()
{
    QFETCH(bool, stillLoading);

    // Takes the request and answers nothing while the player keeps the connection.
    ScriptedServer slow({ScriptedExchange{{}, false}});
    QVERIFY(slow.listening());
    auto player = makePlayer();
    QSignalSpy loaded(player.get(), &ShockwaveFlash::movieLoaded);
    if (stillLoading) {
        player->setMovie(QString::fromStdString(slow.url("/erger/slow.swf")));
        QTRY_COMPARE_WITH_TIMEOUT(slow.requests().size(), std::size_t(1), loadTimeoutMs);
        QVERIFY(slow.requests().front().starts_with("GET /erger/slow.swf "));
        QCOMPARE(slow.finishedConnections(), std::size_t(0));
    } else {
        player->setMovie(m_localMovie);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(showsCard(*player), loadTimeoutMs);
    }

    player->setMovie(stopPath());
    QCOMPARE(player->movie(), stopPath());
    QTRY_VERIFY_WITH_TIMEOUT(showsNothing(*player), loadTimeoutMs);
    if (stillLoading) {
        // The relay gave the transfer up: it closed the connection.
        QTRY_COMPARE_WITH_TIMEOUT(slow.finishedConnections(), std::size_t(1), loadTimeoutMs);
    }
    // Nothing plays afterwards: the page holds no player (so no sound either).
    QCOMPARE(evaluate(*player, QStringLiteral("document.querySelectorAll('ruffle-player').length")).toInt(), 0);
    QCOMPARE(loaded.size(), stillLoading ? 0 : 1);
    // Under load the view may still be repainting what the page dropped.
    QTRY_VERIFY_WITH_TIMEOUT(showsNothing(*player), loadTimeoutMs);
}

void TestShockwaveFlash::reportsMoviesItCannotPlay_data()
{
    QTest::addColumn<QString>("movie");
    QTest::addColumn<bool>("startsEngine");

    const QString junk = pathOf(m_folder) + QStringLiteral("/junk.swf");
    QFile file(junk);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(2048, 'x'));
    QTest::newRow("stop path, nothing played before") << stopPath() << false;
    QTest::newRow("missing on the server")
        << QStringLiteral("http://127.0.0.1:%1/erger/missing.swf").arg(m_server.port()) << true;
    QTest::newRow("not a SWF file") << junk << true;
}

void TestShockwaveFlash::reportsMoviesItCannotPlay()
{
    QFETCH(QString, movie);
    QFETCH(bool, startsEngine);

    auto player = makePlayer();
    QSignalSpy loaded(player.get(), &ShockwaveFlash::movieLoaded);
    QSignalSpy failed(player.get(), &ShockwaveFlash::movieFailed);
    player->setMovie(movie);
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, loadTimeoutMs);
    QCOMPARE(failed.first().first().toString(), movie);
    QCOMPARE(loaded.size(), 0);
    QCOMPARE(pageOf(*player) != nullptr, startsEngine);
    if (startsEngine)
        QTRY_VERIFY_WITH_TIMEOUT(showsNothing(*player), loadTimeoutMs);
}

void TestShockwaveFlash::refusesOutsideAddresses()
{
    ScriptedServer outside({ScriptedServer::reply("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n"
                                                  "Content-Length: 20\r\n\r\n<html>outside</html>")});
    QVERIFY(outside.listening());
    const QString address = QString::fromStdString(outside.url("/"));

    auto player = makePlayer();
    QSignalSpy loaded(player.get(), &ShockwaveFlash::movieLoaded);
    player->setMovie(m_localMovie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);
    const QUrl pageUrl = pageOf(*player)->url();

    // A synchronous read: its answer is there when the script returns.
    const QString read = QStringLiteral(
        "(() => { const x = new XMLHttpRequest(); x.open('GET', '%1', false);"
        " try { x.send(); return 'read'; } catch (e) { return 'refused'; } })()").arg(address);
    QCOMPARE(evaluate(*player, read).toString(), QStringLiteral("refused"));
    evaluate(*player, QStringLiteral("window.open('%1'); 'tried'").arg(address));
    evaluate(*player, QStringLiteral("location.href = '%1'; 'tried'").arg(address));
    QCOMPARE(evaluate(*player, read).toString(), QStringLiteral("refused"));

    QCOMPARE(outside.acceptedConnections(), std::size_t(0));
    QCOMPARE(pageOf(*player)->url(), pageUrl);
    QVERIFY(showsCard(*player));
}

// A content server that sends a movie's read elsewhere (another machine, or another service
// of this one) gets the movie nothing from there; the read fails and says why when asked.
void TestShockwaveFlash::siblingRedirectedElsewhereReachesNothing_data()
{
    QTest::addColumn<QByteArray>("elsewhereAddress");
    QTest::newRow("another host") << QByteArray("127.0.0.2");
    QTest::newRow("another port") << QByteArray("127.0.0.1");
}

void TestShockwaveFlash::siblingRedirectedElsewhereReachesNothing()
{
    QFETCH(QByteArray, elsewhereAddress);

    MovieServer elsewhere;
    elsewhere.serve("/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf", fixture());
    QVERIFY(elsewhere.start(elsewhereAddress.toStdString()));
    MovieServer home;
    home.serve("/erger/levels.swf", siblingLoader(QStringLiteral("away.swf")));
    const std::string elsewhereAuthority = elsewhereAddress.toStdString() + ':' + std::to_string(elsewhere.port());
    home.redirect("/erger/away.swf", "http://" + elsewhereAuthority + "/erger/%E5%81%9A%E5%AE%A2%E6%AD%8C.swf");
    QVERIFY(home.start());

    LogCollector log;
    QLoggingCategory::setFilterRules(QStringLiteral("kivora.player.debug=true"));
    const auto refusal = [&elsewhereAuthority] {
        for (const std::string &message : LogCollector::messages("kivora.player")) {
            if (message.find("/erger/away.swf") != std::string::npos && message.find(elsewhereAuthority) != std::string::npos)
                return true;
        }
        return false;
    };
    auto player = makePlayer();
    QSignalSpy loaded(player.get(), &ShockwaveFlash::movieLoaded);
    player->setMovie(QStringLiteral("http://127.0.0.1:%1/erger/levels.swf").arg(home.port()));
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(refusal() || !elsewhere.requestedTargets().isEmpty(), loadTimeoutMs);
    QCOMPARE(elsewhere.requestedTargets(), QList<QByteArray>());
    QVERIFY(home.requestedTargets().contains("/erger/away.swf"));
    QVERIFY(!showsCard(*player));
}

// Chinese device text needs the font the page carries; no other font name is served.
void TestShockwaveFlash::readsOnlyItsOwnFont()
{
    auto player = makePlayer();
    QSignalSpy loaded(player.get(), &ShockwaveFlash::movieLoaded);
    player->setMovie(m_localMovie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);

    const QString read = QStringLiteral(
        "(() => { const x = new XMLHttpRequest(); x.open('GET', 'kivora://player/fonts/%1', false);"
        " x.overrideMimeType('text/plain; charset=x-user-defined');"
        " try { x.send(); } catch (e) { return 'refused'; }"
        " const t = x.responseText; return x.status + ' ' + t.length + ' '"
        " + [0, 1, 2, 3].map(i => t.charCodeAt(i) & 0xff).join(','); })()");
    const QStringList font = evaluate(*player, read.arg(QStringLiteral("DroidSansFallbackGB2312.ttf")))
                                 .toString()
                                 .split(QLatin1Char(' '));
    QCOMPARE(font.size(), 3);
    QCOMPARE(font.at(0), QStringLiteral("200"));
    QVERIFY2(font.at(1).toLongLong() > 500'000, qPrintable(font.at(1)));
    QCOMPARE(font.at(2), QStringLiteral("0,1,0,0")); // a TrueType font
    for (const QString &other : {QStringLiteral("DroidSansFallbackFull.ttf"), QStringLiteral("..%2Findex.html"),
                                 QStringLiteral("%2Fetc%2Fpasswd")})
        QCOMPARE(evaluate(*player, read.arg(other)).toString(), QStringLiteral("refused"));
}

void TestShockwaveFlash::missingAssetsFailConstruction()
{
    const QString root = ShockwaveFlash::assetsRoot();
    const ScratchFolder empty;
    ShockwaveFlash::setAssetsRoot(pathOf(empty));
    bool threw = false;
    try {
        ShockwaveFlash player;
    } catch (const std::runtime_error &error) {
        threw = QString::fromUtf8(error.what()).contains(pathOf(empty));
    }
    ShockwaveFlash::setAssetsRoot(root);
    QVERIFY(threw);
    ShockwaveFlash player; // the embedded assets are there
}

void TestShockwaveFlash::fillsParentClientArea()
{
    QFrame panel;
    panel.setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel.setLineWidth(1);
    panel.resize(977, 681);
    panel.show();
    ShockwaveFlash player(&panel);
    player.setGeometry(25, 32, 424, 225);
    player.setAlignClient();
    QCOMPARE(player.geometry(), QRect(1, 1, 975, 679));
    panel.resize(500, 300);
    QCOMPARE(player.geometry(), QRect(1, 1, 498, 298));
}

void TestShockwaveFlash::playersShareOnePage()
{
    // Two windows, as two category windows a child opens one after the other.
    QWidget first;
    QWidget second;
    for (QWidget *window : {&first, &second}) {
        window->resize(975, 679);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    ShockwaveFlash firstPlayer(&first);
    ShockwaveFlash secondPlayer(&second);
    for (ShockwaveFlash *player : {&firstPlayer, &secondPlayer}) {
        player->setAlignClient();
        player->show();
        QSignalSpy loaded(player, &ShockwaveFlash::movieLoaded);
        player->setMovie(m_localMovie);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);
        QTRY_VERIFY_WITH_TIMEOUT(showsCard(*player), loadTimeoutMs);
    }
    // The page went where the latest movie plays; the first window's movie is gone with it.
    QVERIFY(secondPlayer.holdsEngine());
    QVERIFY(!firstPlayer.holdsEngine());
    QCOMPARE(webViews(), 1);
    QVERIFY(showsNothing(firstPlayer));
    const qint64 renderer = pageOf(secondPlayer)->renderProcessPid();
    QVERIFY(processAlive(renderer));

    // Closing the window that holds it gives the page's memory back: the page and its
    // renderer process are replaced, and the movie starts again when the window is shown again.
    QSignalSpy loadedAgain(&secondPlayer, &ShockwaveFlash::movieLoaded);
    QWebEnginePage *const used = pageOf(secondPlayer);
    second.hide();
    QTRY_VERIFY_WITH_TIMEOUT(pageOf(secondPlayer) != used, loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!processAlive(renderer), loadTimeoutMs);
    QCOMPARE(webViews(), 1);
    QCOMPARE(loadedAgain.size(), 0);
    second.show();
    QTRY_COMPARE_WITH_TIMEOUT(loadedAgain.size(), 1, loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(isPlaying(secondPlayer), loadTimeoutMs);

    // The first window plays again once it is chosen again.
    QSignalSpy firstAgain(&firstPlayer, &ShockwaveFlash::movieLoaded);
    firstPlayer.setMovie(m_localMovie);
    QTRY_COMPARE_WITH_TIMEOUT(firstAgain.size(), 1, loadTimeoutMs);
    QVERIFY(firstPlayer.holdsEngine());
    QCOMPARE(webViews(), 1);
}

void TestShockwaveFlash::hiddenPlayerPlaysNothing_data()
{
    QTest::addColumn<bool>("wholeWindow");
    QTest::newRow("its window closed") << true;
    QTest::newRow("the player hidden") << false;
}

void TestShockwaveFlash::hiddenPlayerPlaysNothing()
{
    QFETCH(bool, wholeWindow);

    QWidget window;
    window.resize(975, 679);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ShockwaveFlash player(&window);
    player.setAlignClient();
    player.show();
    QSignalSpy loaded(&player, &ShockwaveFlash::movieLoaded);
    player.setMovie(m_localMovie);
    QTRY_COMPARE_WITH_TIMEOUT(loaded.size(), 1, loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(isPlaying(player), loadTimeoutMs);

    QWidget *const hidden = wholeWindow ? &window : static_cast<QWidget *>(&player);
    hidden->hide();
    QTRY_VERIFY_WITH_TIMEOUT(!isPlaying(player), loadTimeoutMs);
    // Still out of sight: a new movie waits as well.
    player.setMovie(m_localMovie);
    QTest::qWait(200);
    QVERIFY(!isPlaying(player));

    hidden->show();
    QTRY_VERIFY_WITH_TIMEOUT(isPlaying(player), loadTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(showsCard(player), loadTimeoutMs);
    QCOMPARE(player.movie(), m_localMovie);
}

int main(int argc, char **argv)
{
    ShockwaveFlash::setUpProcess();
    QApplication app(argc, argv);
    // The page, in this process where the test can read it. The program runs the same page
    // in a process of its own; tests/category and tests/nginx play titles through that.
    kivora::PlayerEngine::setBackendFactoryForTesting(
        [](kivora::PlayerBackend::Events &events) { return kivora::PlayerModule::carried().createBackend(events); });
    TestShockwaveFlash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shockwaveflash.moc"
