#pragma once

#include "benchmarks/endtoend/PauseLog.h"
#include "benchmarks/endtoend/RecordedBoxes.h"
#include "benchmarks/endtoend/StallMeter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class Tool;

// One run of the real window against quorvelino-sim on a pseudo-terminal: the simulator with the
// options given, a settings folder of its own whose COM1 is the simulator's terminal, and the
// tool, shown, with recorded message boxes and noted pauses. Everything runs on the event loop of
// the calling thread, which must own a QApplication.
class BenchSession {
public:
    BenchSession(const QString& simPath, const QStringList& simOptions);
    ~BenchSession();
    BenchSession(const BenchSession&) = delete;
    BenchSession& operator=(const BenchSession&) = delete;

    // Empty when the simulator runs and the window is shown; otherwise why not.
    QString error() const { return m_error; }

    Tool& tool() { return *m_tool; }
    PauseLog& pauses() { return m_pauses; }
    RecordedBoxes& boxes() { return m_boxes; }
    StallMeter& stalls() { return m_stalls; }
    // A path in a folder that lives as long as the session.
    QString filePath(const QString& name) const;

    // Chooses COM1, clicks Connect and waits until the status chain has shown the serial number.
    // shownNs is when the handler that showed it had returned (monotonicNs()).
    bool connect(qint64* shownNs = nullptr);
    // Runs the event loop until done() holds or the time is up. done() is checked as soon as the
    // handler that showed a message box or a serial number has returned, and once a second.
    bool waitFor(const std::function<bool()>& done, int timeoutMs);
    // When waitFor() last saw its condition hold (monotonicNs()).
    qint64 doneNs() const { return m_doneNs; }

private:
    // Something happened that a waitFor() condition may wait for; it is looked at once the
    // running handler has returned.
    void notice();

    QTemporaryDir m_home;
    QProcess m_sim;
    PauseLog m_pauses;
    RecordedBoxes m_boxes;
    StallMeter m_stalls{m_pauses};
    std::unique_ptr<Tool> m_tool;
    QString m_error;
    std::function<void()> m_check;
    qint64 m_doneNs = 0;
};
