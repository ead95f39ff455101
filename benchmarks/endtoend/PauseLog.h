#pragma once

#include "platform/Sleeper.h"

#include <QList>
#include <functional>

// The handlers' blocking pauses, taken for real and noted: when each began and how long it was
// prescribed to last, so that a measurement can tell the tool's own time from the pauses.
class PauseLog final : public Sleeper {
public:
    void sleepMs(int ms) override;

    // The prescribed milliseconds of the pauses that began after fromNs and no later than toNs
    // (monotonicNs() times).
    qint64 prescribedMs(qint64 fromNs, qint64 toNs) const;
    // How long those pauses really lasted, in microseconds: the system's sleep overshoots.
    qint64 actualUs(qint64 fromNs, qint64 toNs) const;

private:
    struct Pause {
        qint64 beganNs;
        int ms;
        qint64 lastedNs;
    };
    // The sum of value() over the pauses that began after fromNs and no later than toNs.
    qint64 sumOver(qint64 fromNs, qint64 toNs,
                   const std::function<qint64(const Pause&)>& value) const;

    QList<Pause> m_pauses;
};
