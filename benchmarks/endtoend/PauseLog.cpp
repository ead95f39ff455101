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
    return sumOver(fromNs, toNs, [](const Pause& pause) { return qint64(pause.ms); });
}

qint64 PauseLog::actualUs(qint64 fromNs, qint64 toNs) const {
    return sumOver(fromNs, toNs, [](const Pause& pause) { return pause.lastedNs; }) / 1000;
}

qint64 PauseLog::sumOver(qint64 fromNs, qint64 toNs,
                         const std::function<qint64(const Pause&)>& value) const {
    qint64 total = 0;
    // Newest first: a measurement usually asks about the pauses just taken.
    for (qsizetype i = m_pauses.size() - 1; i >= 0; --i) {
        const Pause& pause = m_pauses.at(i);
        if (pause.beganNs <= fromNs)
            break;
        if (pause.beganNs <= toNs)
            total += value(pause);
    }
    return total;
}
