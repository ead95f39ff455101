#include "benchmarks/endtoend/StallMeter.h"

#include "benchmarks/endtoend/PauseLog.h"
#include "benchmarks/endtoend/ResourceUse.h"

StallMeter::StallMeter(const PauseLog& pauses, QObject* parent)
    : QObject(parent), m_pauses(pauses) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &StallMeter::tick);
}

void StallMeter::start() {
    m_longestNs = 0;
    m_lastNs = monotonicNs();
    m_timer.start();
}

void StallMeter::stop() {
    tick();
    m_timer.stop();
}

void StallMeter::tick() {
    const qint64 now = monotonicNs();
    const qint64 beyond = now - m_lastNs - qint64(kIntervalMs) * 1'000'000 -
                          m_pauses.prescribedMs(m_lastNs, now) * 1'000'000;
    m_longestNs = qMax(m_longestNs, beyond);
    m_lastNs = now;
}
