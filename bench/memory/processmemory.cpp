#include "bench/memory/processmemory.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

QMultiMap<int, int> childrenByParent()
{
    QMultiMap<int, int> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        const int pid = entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // The command name may hold spaces and parentheses: the fields follow its last ')'.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1)
            children.insert(fields.at(1).toInt(), pid);
    }
    return children;
}

QList<int> tree(int pid)
{
    const QMultiMap<int, int> children = childrenByParent();
    QList<int> all{pid};
    for (qsizetype i = 0; i < all.size(); ++i)
        all += children.values(all.at(i));
    return all;
}

// The rollup's field in bytes, 0 when the process is gone.
long long rollupField(int pid, const char *field)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    const QRegularExpression line(QStringLiteral("^%1:\\s+(\\d+) kB").arg(QLatin1String(field)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(rollup.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : 0;
}

long long pssOf(int pid)
{
    return rollupField(pid, "Pss");
}

} // namespace

long long treePss(int pid)
{
    long long total = 0;
    for (const int member : tree(pid))
        total += pssOf(member);
    return total;
}

int descendantCount(int pid)
{
    return static_cast<int>(tree(pid).size()) - 1;
}

QString treeBreakdown(int pid)
{
    const auto megabytes = [](long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); };
    QString text;
    for (const int member : tree(pid)) {
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(member));
        QByteArray line = command.open(QIODevice::ReadOnly) ? command.readAll() : QByteArray();
        line.replace('\0', ' ');
        const QByteArray type = line.contains("--type=") ? line.mid(line.indexOf("--type=")).split(' ').first()
                                                          : line.left(60);
        text += QStringLiteral("    %1 %2 MB  (files %3 MB)  %4\n")
                    .arg(member, 8)
                    .arg(megabytes(pssOf(member)), 8, 'f', 1)
                    .arg(megabytes(rollupField(member, "Pss_File")), 5, 'f', 1)
                    .arg(QString::fromLocal8Bit(type));
    }
    return text;
}

QString memoryRow(const QString &moment, long long bytes)
{
    return QStringLiteral("%1 %2 GB  (%3 processes under it)\n")
        .arg(moment, -44)
        .arg(static_cast<double>(bytes) / (1024.0 * 1024.0 * 1024.0), 0, 'f', 3)
        .arg(descendantCount(static_cast<int>(::getpid())));
}

long long settledTreePss()
{
    constexpr int settleMs = 2000;
    constexpr int samples = 5;
    constexpr int sampleIntervalMs = 500;
    QTest::qWait(settleMs);
    std::vector<long long> readings;
    for (int n = 0; n < samples; ++n) {
        if (n > 0)
            QTest::qWait(sampleIntervalMs);
        readings.push_back(treePss(static_cast<int>(::getpid())));
    }
    std::nth_element(readings.begin(), readings.begin() + samples / 2, readings.end());
    return readings[samples / 2];
}
