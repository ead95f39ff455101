#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// Why a run is to stop before its end: Ctrl+C (SIGINT), SIGTERM or SIGHUP, or the time limit of
// the whole run. On Windows the console's events do the signals' work: Ctrl+C, Ctrl+Break and
// closing the console window.
//
// The signal handler only sets a flag; whoever waits or reads the port looks at it. A second
// signal of the same kind ends the program at once, as the signal's default does, so a run that
// does not stop quickly enough can still be ended.
class Interruption {
public:
    enum class Reason { None, Signal, TimeLimit };
#ifdef Q_OS_WIN
    // The numbers signalNumber() gives for the console's events beside Ctrl+C (SIGINT): those of
    // the signals that stand for them.
    static constexpr int kConsoleClosed = 1; // SIGHUP: the terminal went away
    static constexpr int kCtrlBreak = 21;    // SIGBREAK
#endif

    // Catches SIGINT, SIGTERM and SIGHUP for the rest of the program, and ignores SIGPIPE, so a
    // closed standard error cannot end the run before it said goodbye to the handheld.
    static void catchSignals();

    // A time limit for the whole run, counted from this call; none when seconds is 0.
    void limitTo(int seconds);

    Reason reason() const;
    bool requested() const {
        return reason() != Reason::None;
    }
    // The signal that stopped the run, 0 when none did.
    static int signalNumber();
    int limitSeconds() const {
        return m_limitSeconds;
    }

private:
    QElapsedTimer m_started;
    int m_limitSeconds = 0;
};
