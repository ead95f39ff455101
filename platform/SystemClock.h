#pragma once

#include "platform/Clock.h"
#include "platform/Sleeper.h"

#include <QElapsedTimer>

// The real clock, and the real blocking pause of the window thread.
class SystemClock final : public Clock, public Sleeper {
public:
    SystemClock() { m_elapsed.start(); }
    QDateTime localNow() const override { return QDateTime::currentDateTime(); }
    qint64 monotonicMs() const override { return m_elapsed.elapsed(); }
    void sleepMs(int ms) override;

private:
    QElapsedTimer m_elapsed;
};
