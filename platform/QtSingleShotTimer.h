#pragma once

#include "platform/SingleShotTimer.h"

#include <QTimer>

// The real timer, on the thread's event loop, fired to the millisecond rather than coalesced
// with other wake-ups.
class QtSingleShotTimer final : public SingleShotTimer {
public:
    QtSingleShotTimer();

    void setTimeout(std::function<void()> timeout) override { m_timeout = std::move(timeout); }
    void start(int ms) override { m_timer.start(ms); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_timeout;
};
