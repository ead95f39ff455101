#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QtGlobal>

// The CPU time a process has used so far, every thread of it together, in nanoseconds, as the
// kernel's scheduler counts it (finer than the 10 ms ticks of /proc/PID/stat); -1 when the
// process is gone. 0 stands for this process.
qint64 processCpuNs(qint64 pid = 0);

// The page faults a process has taken so far, minor and major; -1 when it is gone.
qint64 processFaults(qint64 pid = 0);

// How a process sends its window's pixels to the X server: "shared memory" when it has a
// shared memory segment mapped, else "socket".
QString imageTransport(qint64 pid = 0);

// The CPU time and the page faults of some processes over a whole span, from its start (the
// object made) to end(): every nanosecond counts, quiet stretches and bursts alike.
class SpanCpu {
public:
    explicit SpanCpu(const QList<qint64>& pids);

    void end();

    // The span's length, and a process's CPU time and page faults in it; -1 when the process was
    // gone.
    qint64 spanNs() const { return m_spanNs; }
    qint64 cpuNs(qsizetype process) const { return m_cpuNs.value(process, -1); }
    qint64 faults(qsizetype process) const { return m_faults.value(process, -1); }

    // A measurement of a program (process 0) and the X server (process 1) idle and then busy
    // with `bytes` of records: the times in ns ("idleNs", "busyNs", "cpuIdleNs", "cpuBusyNs",
    // "xIdleNs", "xBusyNs"), the X server's page faults while busy ("xFaults"), "bytes" and the
    // program's image transport ("transport").
    static QJsonObject idleAndBusy(const SpanCpu& idle, const SpanCpu& busy, qint64 bytes,
                                   const QString& transport);

private:
    QList<qint64> m_pids;
    qint64 m_startNs;
    qint64 m_spanNs = 0;
    QList<qint64> m_cpuNs;
    QList<qint64> m_faults;
};
