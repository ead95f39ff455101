#include "benchmarks/endtoend/ProcessCpu.h"

#include <QDir>
#include <QFile>

qint64 processCpuNs(qint64 pid) {
    const QString tasks =
        pid == 0 ? QStringLiteral("/proc/self/task") : QStringLiteral("/proc/%1/task").arg(pid);
    const QStringList threads = QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty())
        return -1;
    qint64 total = 0;
    for (const QString& thread : threads) {
        QFile schedstat(tasks + QLatin1Char('/') + thread + QStringLiteral("/schedstat"));
        // The first field is the time the thread has run; a thread that ended meanwhile counts 0.
        if (schedstat.open(QIODevice::ReadOnly))
            total += schedstat.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}
