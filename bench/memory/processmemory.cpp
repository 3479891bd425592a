#include "bench/memory/processmemory.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QRegularExpression>

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

long long pssOf(int pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    static const QRegularExpression pss(QStringLiteral("^Pss:\\s+(\\d+) kB"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pss.match(QString::fromLatin1(rollup.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : 0;
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
    QString text;
    for (const int member : tree(pid)) {
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(member));
        QByteArray line = command.open(QIODevice::ReadOnly) ? command.readAll() : QByteArray();
        line.replace('\0', ' ');
        const QByteArray type = line.contains("--type=") ? line.mid(line.indexOf("--type=")).split(' ').first()
                                                          : line.left(60);
        text += QStringLiteral("    %1 %2 MB  %3\n")
                    .arg(member, 8)
                    .arg(static_cast<double>(pssOf(member)) / (1024.0 * 1024.0), 8, 'f', 1)
                    .arg(QString::fromLocal8Bit(type));
    }
    return text;
}
