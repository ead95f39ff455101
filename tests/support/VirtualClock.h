#pragma once

#include "platform/Clock.h"
#include "platform/Sleeper.h"

#include <functional>
#include <map>
#include <optional>
#include <utility>

// Time that moves only when the tool pauses or a test lets it pass. Scheduled events (the
// simulated handheld's replies arriving) run in time order as the clock passes them, also
// during a handler's pause, so a 10 s wait costs no real time.
class VirtualClock final : public Clock, public Sleeper {
public:
    QDateTime localNow() const override { return m_base.addMSecs(m_now); }
    qint64 monotonicMs() const override { return m_now; }
    void sleepMs(int ms) override;

    qint64 now() const { return m_now; }
    void setLocalBase(const QDateTime& base) { m_base = base; }

    // Returns the event's number, by which it can be cancelled until it runs.
    qint64 schedule(qint64 at, std::function<void()> event);
    void cancel(qint64 event);
    std::optional<qint64> nextEventTime() const;
    // Runs the earliest event, moving the clock to its time.
    void runNextEvent();
    // Runs every event up to the time given and moves the clock there.
    void advanceTo(qint64 time);
    // Like advanceTo, but stops right after the event that makes done() true.
    void advanceUntil(qint64 time, const std::function<bool()>& done);

private:
    qint64 m_now = 0;
    qint64 m_sequence = 0;
    QDateTime m_base = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53));
    std::map<std::pair<qint64, qint64>, std::function<void()>> m_events;
};
