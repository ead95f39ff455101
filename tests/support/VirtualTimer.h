#pragma once

#include "platform/SingleShotTimer.h"

#include <QtGlobal>
#include <optional>

class VirtualClock;

// A single-shot timer in virtual time: it fires as the clock passes its time, in order with the
// clock's other events.
class VirtualTimer final : public SingleShotTimer {
public:
    explicit VirtualTimer(VirtualClock& clock) : m_clock(clock) {}
    ~VirtualTimer() override { stop(); }
    VirtualTimer(const VirtualTimer&) = delete;
    VirtualTimer& operator=(const VirtualTimer&) = delete;

    void setTimeout(std::function<void()> timeout) override { m_timeout = std::move(timeout); }
    void start(int ms) override;
    void stop() override;
    bool isActive() const override { return m_event.has_value(); }

private:
    VirtualClock& m_clock;
    std::function<void()> m_timeout;
    std::optional<qint64> m_event; // the clock's event that fires the timer
};
