#pragma once

#include <QJsonObject>
#include <QList>
#include <QtGlobal>
#include <functional>

// The CPU time a process has used so far, every thread of it together, in nanoseconds, as the
// kernel's scheduler counts it (finer than the 10 ms ticks of /proc/PID/stat); -1 when the
// process is gone. 0 stands for this process.
qint64 processCpuNs(qint64 pid = 0);

// The CPU time of some processes over a span, measured in windows of a second. The median
// window stands for the span: on a shared or virtual machine a burst of someone else's (another
// program, the hypervisor taking the CPU away and the time counted to whoever ran) lands in one
// window and does not count.
class SpanCpu {
public:
    // Waits span by span: wait(ms) must return after that many milliseconds.
    SpanCpu(const QList<qint64>& pids, int windows, const std::function<void(int)>& wait);

    // The span's length, and a process's CPU time in it as its median window makes it; -1 when
    // the process was gone.
    qint64 spanNs() const { return m_spanNs; }
    qint64 cpuNs(qsizetype process) const { return m_cpuNs.value(process, -1); }

    // A measurement of a program (process 0) and the X server (process 1) idle and then busy
    // with `bytes` of records.
    static QJsonObject idleAndBusy(const SpanCpu& idle, const SpanCpu& busy, qint64 bytes);

private:
    qint64 m_spanNs = 0;
    QList<qint64> m_cpuNs;
};
