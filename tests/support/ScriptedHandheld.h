#pragma once

#include "sim/DeviceModel.h"
#include "sim/PtyPair.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

// The handheld on the master side of a pseudo-terminal whose slave the tool opens. A thread of its
// own reads what the tool writes, so it answers while the tool's thread sits in a blocking pause,
// as real hardware does. It notes each command line (its CR included) with the time the CR
// arrived, and answers as its device model does, unless the test has scripted another answer.
//
// The test may also write to the tool itself (send()), read back the line settings the tool made,
// and pull the cable (hangUp()). Every member may be called from the test's thread.
class ScriptedHandheld {
public:
    // What the handheld sends for one command line.
    struct Answer {
        Answer() = default;
        // Implicit, so that a script may return the bytes alone.
        Answer(QByteArray answerBytes) : bytes(std::move(answerBytes)) {}
        QByteArray bytes;    // empty: no answer
        int delayMs = 0;     // from the command's CR to the first byte
        int lineGapMs = 0;   // > 0: line by line, this long apart, as records stream in
        bool hangUp = false; // afterwards the handheld's side goes away, as a pulled cable
    };
    // The answer to a command line (with its CR), given what the model answered.
    using Script = std::function<Answer(const QByteArray& command, const QByteArray& modelAnswer)>;
    struct Line {
        QByteArray bytes; // with its CR
        qint64 atMs = 0;  // when the CR arrived, on nowMs()'s clock
        QByteArray answer;
    };

    // A handheld waking from sleep needs this long before it answers the greeting "ONLINE".
    static constexpr int kWakeMs = 20;

    ScriptedHandheld() : ScriptedHandheld(DeviceModel::Options()) {}
    explicit ScriptedHandheld(const DeviceModel::Options& model);
    ~ScriptedHandheld();
    ScriptedHandheld(const ScriptedHandheld&) = delete;
    ScriptedHandheld& operator=(const ScriptedHandheld&) = delete;

    // A monotonic clock in milliseconds, the one Line::atMs is taken on.
    static qint64 nowMs();

    // False, with error() saying why, when there is no pseudo-terminal.
    bool ok() const { return m_thread.joinable(); }
    QString error() const { return m_pty.errorString(); }
    // The device the tool opens, such as "/dev/pts/5".
    const QString& device() const { return m_pty.slavePath(); }

    // Answers `command` (with its CR) so until the script is cleared; before the script.
    void setAnswer(const QByteArray& command, const Answer& answer);
    void setScript(Script script);
    // Back to the model's answers.
    void clearScript();
    // Reads and notes what comes, and answers nothing.
    void setSilent(bool silent);

    // Every command line so far, in order.
    QList<Line> lines() const { return linesFrom(0); }
    QList<Line> linesFrom(qsizetype first) const;
    qsizetype lineCount() const;
    // Bytes after the last CR: a command not complete yet.
    QByteArray pending() const;
    // The commands the model received (without their CR), as DeviceModel::commands().
    QList<QByteArray> commands() const;
    // Bytes handed to the tool so far.
    qint64 bytesWritten() const { return m_written; }
    DeviceModel model() const;
    void setModel(const DeviceModel& model);

    // Writes to the tool as the handheld; false when not all went.
    bool send(const QByteArray& bytes);
    termios lineSettings() const { return m_pty.lineSettings(); }
    bool setLineSettings(const termios& settings) { return m_pty.setLineSettings(settings); }
    // Bytes sent that the tool has not read yet: they wait in the driver.
    int unread() const { return m_pty.unread(); }
    // The cable is pulled: the handheld stops and its side of the line goes away.
    void hangUp();

private:
    void run();
    // The answers to the complete command lines in `input`, noted as they arrived at `atMs`.
    QList<Answer> receive(const QByteArray& input, qint64 atMs);
    void deliver(const Answer& answer, qint64 arrivedMs);
    void stop();

    PtyPair m_pty;
    mutable std::mutex m_mutex; // guards everything below but the flags
    DeviceModel m_model;
    QList<Line> m_lines;
    QByteArray m_pending;
    QHash<QByteArray, Answer> m_answers;
    Script m_script;
    bool m_silent = false;
    std::mutex m_writeMutex; // guards the master against a hang-up while writing
    std::atomic<qint64> m_written = 0;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};
