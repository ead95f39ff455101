#pragma once

#include "sim/DeviceModel.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

class SimulatedPort;
class VirtualClock;

// The simulated handheld as rude as real hardware, in virtual time: its answers trickle in random
// pieces with random gaps, a late line or an echo may come before an answer, answers to commands
// sent during a record transfer come between two records instead of behind the last one, and
// records pause and resume. One seed makes one run.
//
// It sends one line at a time, as a handheld with one serial line does: a line already started
// is always finished before another begins.
class RudeHandheld {
public:
    struct Options {
        int latencyMs = 5;       // from a command's CR to the start of its answer
        int trickleMs = -1;      // pieces of 1 to 8 bytes, up to this far apart; <0 = whole
        int lineGapMs = 0;       // up to this long between two lines (random)
        bool echo = false;       // each command repeated as a line before its answer
        QByteArray lateLine;     // a line sent before every answer ("Ok", as a late one)
        QByteArray afterRecords; // a line sent after the last record
        bool interleave = false; // answers during a transfer go between two records
        int pauseEvery = 0;      // after every pauseEvery records ...
        int pauseMs = 0;         // ... the records pause this long
    };

    RudeHandheld(VirtualClock& clock, SimulatedPort& port, const DeviceModel::Options& model,
                 const Options& options, quint32 seed);

    // Installs itself as the port's device.
    void attach();
    // The adapter is pulled: what was still to be sent is gone.
    void unplug() { m_queue.clear(); }

    DeviceModel& model() { return m_model; }
    Options& options() { return m_options; }
    // Every record line sent as an answer to "GET", in order, without CR LF.
    const QList<QByteArray>& recordsSent() const { return m_recordsSent; }

private:
    struct Line {
        QByteArray bytes; // with its CR LF
        bool record = false;
        qint64 pauseMs = 0; // before it
    };

    QByteArray receive(const QByteArray& bytes);
    void queueAnswer(const QByteArray& command, const QByteArray& answer);
    void startSending(qint64 at);
    void sendNext();

    VirtualClock& m_clock;
    SimulatedPort& m_port;
    DeviceModel m_model;
    Options m_options;
    QRandomGenerator m_random;
    QList<Line> m_queue;
    bool m_sending = false;
    QList<QByteArray> m_recordsSent;
};
