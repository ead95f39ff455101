#pragma once

#include "link/LinkView.h"

#include <QList>
#include <optional>

class Clock;

// The traffic log and the last-line field of the command line: nothing is shown, but the run
// learns when the handheld last sent something and how many reply lines it has sent, which is
// how it tells a handheld that has gone quiet.
class InputWatch final : public LinkView {
public:
    explicit InputWatch(const Clock& clock);

    void clearLog() override {}
    void replaceLog(const QByteArray&) override {}
    void appendLog(const QByteArray& text) override;
    void setZeile(const QByteArray& line) override;

    // Milliseconds since the handheld last sent a byte, or since the last restart.
    qint64 quietMs() const;
    // Counts the quiet time from now: the handshake reads its answers itself, past the watch.
    void restart();
    // Complete non-empty reply lines the receive handler has cut so far.
    qint64 lines() const { return m_lines; }
    // The answer to a command about to be sent that no handler reads: the first reply line cut
    // after markAnswer() that counts as one (Answers), empty until it comes.
    void markAnswer() {
        m_awaiting = true;
        m_answer = std::nullopt;
        m_answers.clear();
    }
    const std::optional<QByteArray>& answer() const { return m_answer; }
    // Every answer cut since markAnswer(), in order; the lines that are none are passed over.
    const QList<QByteArray>& answers() const { return m_answers; }
    // The latest battery reply held a number. The battery bar shows 0 for one that did not,
    // as for a reported 0.
    bool batteryReadable() const { return m_batteryReadable; }

private:
    const Clock& m_clock;
    qint64 m_lastInputMs = 0;
    qint64 m_lines = 0;
    std::optional<QByteArray> m_answer;
    QList<QByteArray> m_answers;
    bool m_awaiting = false;
    bool m_batteryReadable = false;
};
