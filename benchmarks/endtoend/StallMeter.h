#pragma once

#include <QObject>
#include <QTimer>

class PauseLog;

// How long the window's event loop goes without a turn, beyond the pauses the handlers take on
// purpose. A 10 ms timer notes each time it fires; the gap since the last firing, less the
// interval and less the prescribed pauses that began within the gap, is time the window could not
// react or repaint for reasons of the tool's own.
class StallMeter final : public QObject {
    Q_OBJECT

public:
    explicit StallMeter(const PauseLog& pauses, QObject* parent = nullptr);

    void start();
    void stop();
    // The longest such stretch since start(), in microseconds.
    qint64 longestUs() const { return m_longestNs / 1000; }

    static constexpr int kIntervalMs = 10;

private:
    void tick();

    const PauseLog& m_pauses;
    QTimer m_timer;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
};
