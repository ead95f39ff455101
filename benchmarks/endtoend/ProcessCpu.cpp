#include "benchmarks/endtoend/ProcessCpu.h"

#include "benchmarks/endtoend/ResourceUse.h"

#include <QDir>
#include <QFile>

namespace {

QString procPath(qint64 pid, const char* entry) {
    return pid == 0 ? QStringLiteral("/proc/self/%1").arg(QLatin1String(entry))
                    : QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(entry));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each process's figure now, less the one before; -1 where either is missing.
QList<qint64> since(const QList<qint64>& before, const QList<qint64>& now) {
    QList<qint64> span;
    for (qsizetype i = 0; i < now.size(); ++i)
        span << (now.at(i) < 0 || before.at(i) < 0 ? -1 : now.at(i) - before.at(i));
    return span;
}

QList<qint64> each(const QList<qint64>& pids, qint64 (*figure)(qint64)) {
    QList<qint64> figures;
    for (const qint64 pid : pids)
        figures << figure(pid);
    return figures;
}

} // namespace

qint64 processCpuNs(qint64 pid) {
    const QString tasks = procPath(pid, "task");
    const QStringList threads = QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (threads.isEmpty())
        return -1;
    qint64 total = 0;
    for (const QString& thread : threads) {
        // The first field is the time the thread has run; a thread that ended meanwhile counts 0.
        total += readAll(tasks + QLatin1Char('/') + thread + QStringLiteral("/schedstat"))
                     .split(' ')
                     .value(0)
                     .toLongLong();
    }
    return total;
}

qint64 processFaults(qint64 pid) {
    const QByteArray stat = readAll(procPath(pid, "stat"));
    // The name in parentheses may hold blanks; the fields after it start with the state. Minor
    // faults are the 10th field, major faults the 12th.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (stat.isEmpty() || fields.size() < 10)
        return -1;
    return fields.at(7).toLongLong() + fields.at(9).toLongLong();
}

QString imageTransport(qint64 pid) {
    const QByteArray maps = readAll(procPath(pid, "maps"));
    const bool shared =
        maps.contains("/SYSV") || maps.contains("/memfd:") || maps.contains(" /dev/shm/");
    return shared ? QStringLiteral("shared memory") : QStringLiteral("socket");
}

SpanCpu::SpanCpu(const QList<qint64>& pids)
    : m_pids(pids), m_startNs(monotonicNs()), m_cpuNs(each(pids, processCpuNs)),
      m_faults(each(pids, processFaults)) {}

void SpanCpu::end() {
    m_cpuNs = since(m_cpuNs, each(m_pids, processCpuNs));
    m_faults = since(m_faults, each(m_pids, processFaults));
    m_spanNs = monotonicNs() - m_startNs;
}

QJsonObject SpanCpu::idleAndBusy(const SpanCpu& idle, const SpanCpu& busy, qint64 bytes,
                                 const QString& transport) {
    return {{QStringLiteral("ok"), true},
            {QStringLiteral("idleNs"), idle.spanNs()},
            {QStringLiteral("busyNs"), busy.spanNs()},
            {QStringLiteral("cpuIdleNs"), idle.cpuNs(0)},
            {QStringLiteral("cpuBusyNs"), busy.cpuNs(0)},
            {QStringLiteral("xIdleNs"), idle.cpuNs(1)},
            {QStringLiteral("xBusyNs"), busy.cpuNs(1)},
            {QStringLiteral("xFaults"), busy.faults(1)},
            {QStringLiteral("bytes"), bytes},
            {QStringLiteral("transport"), transport}};
}
