// Times how long the player takes from Movie (a local file) to the page's report that the
// movie loaded: the first time (engine, page and Ruffle start) and again in the same player,
// against the same loads in a bare web view that hosts Ruffle with its default settings,
// served by the same scheme handler, measured in the same run. Also checks that creating
// the player starts no web engine process.
//
// Usage: bench_player [movie.swf] [rounds] [linger-ms]   (needs a display: xvfb-run -a)
// linger-ms keeps the first player showing its movie that long at the end (for a screenshot).

#include "platform/player/ShockwaveFlash.h"
#include "bench/support/bareview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <QEventLoop>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

using kivora::ShockwaveFlash;

namespace {

constexpr int timeoutMs = 120000;

// Runs a real event loop until done() holds. (QTest::qWaitFor sleeps between its rounds,
// which would slow down every hop the scheme handler makes through the GUI thread.)
template<typename Done>
bool runUntil(Done done, int limitMs = timeoutMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

int engineProcesses()
{
    int count = 0;
    const QString self = QString::number(::getpid());
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : entries) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLatin1(status.readAll());
        if (text.contains(QStringLiteral("QtWebEngineProc")) && text.contains(QStringLiteral("\nPPid:\t") + self + '\n'))
            ++count;
    }
    return count;
}

double timeBare(BarePage &page, const QString &url)
{
    page.loaded = false;
    QElapsedTimer timer;
    timer.start();
    page.runJavaScript(QStringLiteral("play('%1')").arg(url));
    if (!runUntil([&] { return page.loaded; }))
        return -1;
    return timer.nsecsElapsed() / 1e6;
}

double timePlayer(ShockwaveFlash &player, const QString &movie)
{
    bool loaded = false;
    bool failed = false;
    auto onLoaded = QObject::connect(&player, &ShockwaveFlash::movieLoaded, &player, [&] { loaded = true; });
    auto onFailed = QObject::connect(&player, &ShockwaveFlash::movieFailed, &player, [&] { failed = true; });
    QElapsedTimer timer;
    timer.start();
    player.setMovie(movie);
    const bool done = runUntil([&] { return loaded || failed; });
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(onLoaded);
    QObject::disconnect(onFailed);
    return done && loaded ? ms : -1;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    ShockwaveFlash::setUpProcess();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString movie = QFileInfo(args.value(1, QStringLiteral(KIVORA_BENCH_MOVIE))).absoluteFilePath();
    const int rounds = std::max(1, args.value(2, QStringLiteral("5")).toInt());
    QTextStream out(stdout);

    QWidget window;
    window.resize(975, 679);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        out << "no display\n";
        return 1;
    }

    QElapsedTimer creation;
    creation.start();
    ShockwaveFlash player(&window);
    const double createMs = creation.nsecsElapsed() / 1e6;
    player.setAlignClient();
    player.show();
    runUntil([] { return false; }, 500); // let any process the construction might have started show up
    const int processesBefore = engineProcesses();

    const double playerFirst = timePlayer(player, movie);
    const int processesAfter = engineProcesses();
    QList<double> playerAgain;
    for (int i = 0; i < rounds; ++i)
        playerAgain.append(timePlayer(player, movie));

    // A second player whose page was prepared (as a window may do when it is shown).
    ShockwaveFlash prepared(&window);
    prepared.setAlignClient();
    prepared.show();
    prepared.prepare();
    runUntil([] { return false; }, 8000);
    const double preparedFirst = timePlayer(prepared, movie);

    // The baseline: its own profile, the same handler class serving the same files.
    BareView bare;
    QElapsedTimer bareTimer;
    bareTimer.start();
    bare.load();
    const bool bareReady = runUntil([&] { return bare.pageReady(); });
    const QString bareUrl = bare.movieUrl(movie);
    // Like the player's first time: page load and first movie together.
    const double bareFirst = bareReady && timeBare(bare.page(), bareUrl) > 0 ? bareTimer.nsecsElapsed() / 1e6 : -1;
    QList<double> bareAgain;
    for (int i = 0; i < rounds; ++i)
        bareAgain.append(timeBare(bare.page(), bareUrl));

    const double again = median(playerAgain);
    const double bareAgainMedian = median(bareAgain);
    out << "movie: " << movie << "\n";
    out << "construct player:            " << QString::number(createMs, 'f', 1) << " ms\n";
    out << "engine processes before Movie: " << processesBefore << ", after: " << processesAfter << "\n";
    out << "player first load:           " << QString::number(playerFirst, 'f', 1) << " ms (target <= 1000)\n";
    out << "player again (median of " << rounds << "):   " << QString::number(again, 'f', 1) << " ms (target <= 250)\n";
    out << "prepared player first load:  " << QString::number(preparedFirst, 'f', 1)
        << " ms (prepare() 8 s before; target <= 1000)\n";
    out << "bare view first load:        " << QString::number(bareFirst, 'f', 1)
        << " ms (page and movie; the engine already runs)\n";
    out << "bare view again (median):    " << QString::number(bareAgainMedian, 'f', 1) << " ms\n";
    if (bareAgainMedian > 0)
        out << "ratio again player/bare:     " << QString::number(again / bareAgainMedian, 'f', 2) << "\n";
    out.flush();

    const int lingerMs = args.value(3, QStringLiteral("0")).toInt();
    if (lingerMs > 0) {
        bare.view().hide();
        window.move(0, 0);
        window.raise();
        timePlayer(player, movie);
        runUntil([] { return false; }, lingerMs);
    }
    return playerFirst > 0 && again > 0 && bareFirst > 0 && processesBefore == 0 ? 0 : 1;
}
