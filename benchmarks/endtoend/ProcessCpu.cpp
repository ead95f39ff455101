#include "benchmarks/endtoend/ProcessCpu.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>

namespace {

constexpr int kWindowMs = 1000;

} // namespace

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

SpanCpu::SpanCpu(const QList<qint64>& pids, int windows, const std::function<void(int)>& wait) {
    QList<QList<qint64>> perWindow(pids.size());
    QList<qint64> last;
    for (const qint64 pid : pids)
        last << processCpuNs(pid);
    QElapsedTimer clock;
    clock.start();
    for (int window = 0; window < windows; ++window) {
        wait(kWindowMs);
        for (qsizetype i = 0; i < pids.size(); ++i) {
            const qint64 now = processCpuNs(pids.at(i));
            perWindow[i] << (now < 0 || last.at(i) < 0 ? -1 : now - last.at(i));
            last[i] = now;
        }
    }
    m_spanNs = clock.nsecsElapsed();
    for (QList<qint64>& each : perWindow) {
        std::sort(each.begin(), each.end());
        const qint64 median = each.isEmpty() ? -1 : each.at(each.size() / 2);
        m_cpuNs << (each.isEmpty() || each.first() < 0 ? -1 : median * windows);
    }
}

QJsonObject SpanCpu::idleAndBusy(const SpanCpu& idle, const SpanCpu& busy, qint64 bytes) {
    return {{QStringLiteral("ok"), true},
            {QStringLiteral("idleNs"), idle.spanNs()},
            {QStringLiteral("busyNs"), busy.spanNs()},
            {QStringLiteral("cpuIdleNs"), idle.cpuNs(0)},
            {QStringLiteral("cpuBusyNs"), busy.cpuNs(0)},
            {QStringLiteral("xIdleNs"), idle.cpuNs(1)},
            {QStringLiteral("xBusyNs"), busy.cpuNs(1)},
            {QStringLiteral("bytes"), bytes}};
}
