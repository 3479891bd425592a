// Memory of the whole program (PSS of this process and every process under it, the web
// engine's included) as a child taps through the island: the launcher alone, then each of
// the eleven category windows in turn, a title played in it, back, close; then the launcher
// 70 s later, once the player has rested, and how long a title chosen two seconds after the
// next window shows takes to start (the median of three). Against a bare web view hosting Ruffle that plays the
// same file, run as a separate process in the same run.
//
// The bare page is bench_memory_bare, a program of its own: this one maps no web engine.
// Usage: bench_memory [movie.swf]          the program
//        bench_memory --warm [movie.swf]   the program with a player that never rests
// Each moment is the median of five readings half a second apart, after two seconds to settle.
// (needs a display; bench/memory/run.sh runs all three and prints the ratios)

#include "app/Umain.h"
#include "platform/player/ShockwaveFlash.h"
#include "category/TCategoryForm.h"
#include "catalog/TCategoryInfo.h"
#include "platform/player/playerengine.h"
#include "platform/player/playerrest.h"
#include "bench/memory/processmemory.h"
#include "platform/core/programdirectory.h"
#include "app/startup.h"
#include "platform/ui/theme.h"

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

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPixmapCache>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <vector>

using namespace kivora;

namespace {

constexpr int settleMs = 2000;
constexpr int loadTimeoutMs = 60000;
// The launcher is measured this long after the last window closed: the player rests after a
// minute.
constexpr qint64 restedAfterMs = 70000;
// A child reads the list for a moment before choosing.
constexpr int choiceDelayMs = 2000;
constexpr int nextTitleRounds = 3;

// A real event loop: QTest::qWait sleeps between its rounds, which would slow down every hop
// the page's files make through the user-interface thread while the player starts.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool copyResource(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

// A program directory with the pictures the windows read and each category's first title.
bool layOut(const QString &root, const QByteArray &movie, const QList<TCategoryForm *> &windows)
{
    if (!copyResource(QStringLiteral(":/pictures/category_background.png"), root + "/ipadmain3.png")
        || !copyResource(QStringLiteral(":/pictures/category_panel.jpg"), root + "/1003.jpg")
        || !copyResource(QStringLiteral(KIVORA_BENCH_PICTURES "/10.png"), root + "/10.png"))
        return false;
    for (const TCategoryInfo *category : [&] {
             QList<const TCategoryInfo *> all;
             for (const char *name : {"TergerForm", "Tchengyuform", "TwanyouxiForm", "Thtgushiform", "TgushiForm",
                                      "TpinyinForm", "TXchangshiForm", "Tdbpingtuform", "TxyuwenForm",
                                      "TxyingyuForm", "TgwergerForm"})
                 all.append(findCategory(name));
             return all;
         }()) {
        const QString folder = root + QLatin1Char('/') + QString::fromLatin1(category->folder.data(),
                                                                             qsizetype(category->folder.size()));
        QDir().mkpath(folder);
        const std::u16string_view title = category->titles.front();
        QFile file(folder + QLatin1Char('/')
                   + QString(reinterpret_cast<const QChar *>(title.data()), qsizetype(title.size())) + ".swf");
        if (!file.open(QIODevice::WriteOnly) || file.write(movie) != movie.size())
            return false;
    }
    Q_UNUSED(windows);
    return true;
}

// Shows window, chooses its first title two seconds later and answers how long the title
// took to start, in milliseconds; -1 when it did not.
qint64 nextTitleStart(TCategoryForm *window)
{
    window->show();
    window->raise();
    if (!QTest::qWaitForWindowExposed(window))
        return -1;
    runFor(choiceDelayMs);
    QSignalSpy loaded(window->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
    QElapsedTimer choice;
    choice.start();
    window->ListBox1->clearSelection();
    window->ListBox1->setCurrentRow(0);
    return loaded.wait(loadTimeoutMs) ? choice.elapsed() : -1;
}

int runProgram(const QString &moviePath, bool warm, QTextStream &out)
{
    QFile movieFile(moviePath);
    if (!movieFile.open(QIODevice::ReadOnly)) {
        out << "cannot read " << moviePath << "\n";
        return 1;
    }
    QTemporaryDir root;
    if (!layOut(root.path(), movieFile.readAll(), {})) {
        out << "cannot lay out the program directory\n";
        return 1;
    }
    setProgramDirectoryForTesting((root.path() + QLatin1Char('/')).toStdString());
    createWindows();
    mainForm->show();
    if (!QTest::qWaitForWindowExposed(mainForm))
        return 1;
    out << memoryRow(QStringLiteral("launcher shown"), settledTreePss()) << Qt::flush;

    QList<TCategoryForm *> windows{ergerForm, chengyuform, wanyouxiForm, htgushiform, gushiForm, pinyinForm,
                                   XchangshiForm, dbpingtuform, xyuwenForm, xyingyuForm, gwergerForm};
    if (qEnvironmentVariableIsSet("KIVORA_BENCH_SAME_WINDOW"))
        windows.fill(ergerForm);
    long long afterFirst = 0;
    long long afterLast = 0;
    long long playingFirst = 0;
    for (qsizetype i = 0; i < windows.size(); ++i) {
        TCategoryForm *window = windows.at(i);
        window->show();
        window->raise();
        if (!QTest::qWaitForWindowExposed(window))
            return 1;
        if (i == 0)
            out << memoryRow(QStringLiteral("first window shown, player prepared"), settledTreePss()) << Qt::flush;
        QSignalSpy loaded(window->ShockwaveFlash1, &ShockwaveFlash::movieLoaded);
        window->ListBox1->clearSelection();
        window->ListBox1->setCurrentRow(0);
        if (!loaded.wait(loadTimeoutMs)) {
            out << window->objectName() << ": the title did not load\n";
            return 1;
        }
        const long long playing = settledTreePss();
        if (i == 0) {
            playingFirst = playing;
            out << treeBreakdown(static_cast<int>(::getpid())) << Qt::flush;
        }
        out << memoryRow(window->objectName() + QStringLiteral(": a title playing"), playing) << Qt::flush;
        window->SpeedButton1Click(); // back to the list
        window->SpeedButton1Click(); // close
        const long long closed = settledTreePss();
        out << memoryRow(window->objectName() + QStringLiteral(": closed"), closed) << Qt::flush;
        if (i == 0)
            afterFirst = closed;
        afterLast = closed;
    }
    QElapsedTimer back;
    back.start();
    out << memoryRow(QStringLiteral("back at the launcher"), settledTreePss()) << Qt::flush;
    out << treeBreakdown(static_cast<int>(::getpid())) << Qt::flush;

    // The readings of settledTreePss() end about four seconds after it starts.
    QTest::qWait(static_cast<int>(std::max<qint64>(0, restedAfterMs - 4000 - back.elapsed())));
    const long long rested = settledTreePss();
    out << memoryRow(QStringLiteral("70 s back at the launcher"), rested) << Qt::flush;
    out << treeBreakdown(static_cast<int>(::getpid())) << Qt::flush;
    out << "the player " << (PlayerEngine::exists() ? "is still warm" : "has gone") << "\n";

    // The next window finds its player again in time: three times, the later two after a
    // shortened rest (or none, for the player kept warm).
    TCategoryForm *next = windows.constFirst();
    QList<qint64> starts;
    for (int round = 0; round < nextTitleRounds; ++round) {
        if (round > 0) {
            if (!warm)
                PlayerRest::setIdleTimeForTesting(std::chrono::seconds(1));
            next->SpeedButton1Click(); // back to the list
            next->SpeedButton1Click(); // close
            if (!warm && !QTest::qWaitFor([] { return !PlayerEngine::exists(); }, loadTimeoutMs)) {
                out << "the player did not rest\n";
                return 1;
            }
            runFor(settleMs);
        }
        const qint64 startMs = nextTitleStart(next);
        if (startMs < 0) {
            out << next->objectName() << ": the title did not load after the rest\n";
            return 1;
        }
        starts.append(startMs);
        out << QStringLiteral("%1 ms  title chosen %2 s after its window showed, until it started\n")
                   .arg(startMs, 5)
                   .arg(choiceDelayMs / 1000)
            << Qt::flush;
    }
    std::sort(starts.begin(), starts.end());

    out << "RESULT playing-first " << playingFirst << "\n";
    out << "RESULT after-first " << afterFirst << "\n";
    out << "RESULT after-last " << afterLast << "\n";
    out << "RESULT rested " << rested << "\n";
    out << "RESULT next-title-ms " << starts.at(starts.size() / 2) << "\n";
    destroyWindows();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    ShockwaveFlash::setUpProcess();
    QApplication application(argc, argv);
    QStringList args = application.arguments().mid(1);
    const bool warm = args.removeAll(QStringLiteral("--warm")) > 0;
    if (warm)
        PlayerRest::setIdleTimeForTesting(std::chrono::hours(24));
    const QString movie = QFileInfo(args.value(0, QStringLiteral(KIVORA_BENCH_MOVIE))).absoluteFilePath();
    QTextStream out(stdout);
    Theme::apply(application, QStringLiteral("Metropolis UI Green"));
    QPixmapCache::setCacheLimit(32 * 1024);
    return runProgram(movie, warm, out);
}
