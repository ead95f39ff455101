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

struct WaitResult {
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
WaitResult wait(SerialPort& port, const Clock& clock, qint64 budgetMs, const Answer& isAnswer,
                const QByteArray& carried = {});

// What the handheld answered "STA" with, without its CR LF; nothing when it did not answer
// within budgetMs. A count reply (Answers) answers at once. Once the wait is over without one, the
// latest line shaped like a count reply answers (the taker judges its parts), else, where
// numberAlone counts, the latest number alone (a handheld may answer with the number of records
// alone; a late barcode may look the same, so a count reply wins). When the first line may be the
// tail of a line cut off before ("9" of a record), it answers only as a whole count reply.
struct CountWait {
    qint64 budgetMs = 0;
    bool firstMayBeTail = false;
    bool numberAlone = false;
};
std::optional<QByteArray> waitForCount(SerialPort& port, const Clock& clock, const CountWait& how);

} // namespace PolledReply
