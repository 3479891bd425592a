// The baseline of bench_memory: a bare web view hosting Ruffle that plays the same file, in a
// program of its own (bench/memory/run.sh runs both).
//
// Usage: bench_memory_bare [movie.swf]   (needs a display)

#include "bench/memory/processmemory.h"
#include "bench/support/bareview.h"
#include "platform/player/ShockwaveFlash.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>
#include <QTextStream>

#include <unistd.h>

int main(int argc, char **argv)
{
    kivora::ShockwaveFlash::setUpProcess();
    QApplication application(argc, argv);
    const QString movie = QFileInfo(application.arguments().value(1, QStringLiteral(KIVORA_BENCH_MOVIE))).absoluteFilePath();
    QTextStream out(stdout);
    constexpr int loadTimeoutMs = 60000;
    BareView bare;
    bare.load();
    if (!QTest::qWaitFor([&] { return bare.pageReady(); }, loadTimeoutMs))
        return 1;
    bare.page().runJavaScript(QStringLiteral("play('%1')").arg(bare.movieUrl(movie)));
    if (!QTest::qWaitFor([&] { return bare.page().loaded; }, loadTimeoutMs)) {
        out << "the bare page did not load the movie\n";
        return 1;
    }
    const long long playing = settledTreePss();
    out << memoryRow(QStringLiteral("bare page playing"), playing) << Qt::flush;
    out << treeBreakdown(static_cast<int>(::getpid()));
    out << "RESULT bare " << playing << "\n";
    return 0;
}
