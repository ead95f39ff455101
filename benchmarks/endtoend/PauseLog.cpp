#include "benchmarks/endtoend/PauseLog.h"

#include "benchmarks/endtoend/ResourceUse.h"

#include <QThread>

void PauseLog::sleepMs(int ms) {
    const qint64 began = monotonicNs();
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
    m_pauses.append({began, ms, monotonicNs() - began});
}

qint64 PauseLog::prescribedMs(qint64 fromNs, qint64 toNs) const {
    qint64 total = 0;
    // Newest first: a measurement usually asks about the pauses just taken.
    for (qsizetype i = m_pauses.size() - 1; i >= 0; --i) {
        const Pause& pause = m_pauses.at(i);
        if (pause.beganNs <= fromNs)
            break;
        if (pause.beganNs <= toNs)
            total += pause.ms;
    }
    return total;
}

qint64 PauseLog::actualUs(qint64 fromNs, qint64 toNs) const {
    qint64 total = 0;
    for (qsizetype i = m_pauses.size() - 1; i >= 0; --i) {
        const Pause& pause = m_pauses.at(i);
        if (pause.beganNs <= fromNs)
            break;
        if (pause.beganNs <= toNs)
            total += pause.lastedNs;
    }
    return total / 1000;
}
