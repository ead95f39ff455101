#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <optional>

class Clock;
class SerialPort;

// A reply that a command handler reads itself, right after writing its command, instead of
// letting it reach the receive handler. What it reads never reaches the traffic log, `Zeile` or
// the dispatcher.
//
// The handheld ends every reply line with CR LF, but may deliver it a byte at a time, late, or
// behind a line that answers something else. So a wait is budgeted in elapsed time, never in
// reads; an answer is taken only from a complete line; and complete lines that are no answer (a
// late reply to an earlier command, an echo) are passed over, so the answer behind them counts.
namespace PolledReply {

// The longest pause between two reads. Each pause ends early when input arrives.
constexpr int kPauseMs = 50;

// Tells whether a complete reply line (without its CR LF) is the answer waited for.
using Answer = std::function<bool(const QByteArray& line)>;

struct Outcome {
    // The answer line with its CR LF; nothing when none came within the budget.
    std::optional<QByteArray> answer;
    // Without an answer: the start of a line not yet complete, when one is pending, else the
    // latest complete line passed over (empty when nothing came). A later wait may be given the
    // start of a line to go on from.
    QByteArray heard;
};

// Reads pending input, joining what it reads, until a complete answer line has arrived or
// budgetMs have passed on the clock (a budget of 0 reads once). `carried` is the start of a line
// an earlier wait left incomplete. Blocks the window thread meanwhile; stops early when the port
// is closed. Bytes behind the answer line are consumed with it.
Outcome wait(SerialPort& port, const Clock& clock, qint64 budgetMs, const Answer& isAnswer,
             const QByteArray& carried = {});

// A count reply: a decimal number of custom codes, "|", a decimal number of records (which a
// handheld without records may leave out), blanks allowed around each number and nothing else.
// A record line ("3|0000ABCD|...") is none.
bool isCountReply(const QByteArray& line);
// A line that holds one decimal number alone, blanks allowed around it.
bool isNumberAlone(const QByteArray& line);

} // namespace PolledReply
