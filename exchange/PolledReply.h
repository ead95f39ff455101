#pragma once

#include <QByteArray>
#include <functional>

class SerialPort;

// A reply that a command handler reads itself, right after writing its command, instead of
// letting it reach the receive handler. What it reads never reaches the traffic log, `Zeile` or
// the dispatcher.
//
// The handheld ends every reply line with CR LF, but may deliver it in pieces. The reads of one
// wait are joined, and the wait ends as soon as a CR LF has arrived: a reply split over several
// reads is understood as if it had come whole, and no piece of it is left behind for the next
// reply.
namespace PolledReply {

// The longest pause between two reads. Each pause ends early when input arrives.
constexpr int kPauseMs = 50;

// Tells whether a complete reply line (without its CR LF) is the answer waited for.
using Answer = std::function<bool(const QByteArray& line)>;

// True when the text holds a complete line: a CR LF has arrived.
bool complete(const QByteArray& text);

// Passes over the complete lines at the front of *text that are no answer, removing them and
// keeping the latest of them, with its CR LF, in *passed (when given). True when *text then begins
// with an answer line; otherwise *text holds only the start of a line not yet complete, if
// anything.
bool takeAnswer(QByteArray* text, const Answer& isAnswer, QByteArray* passed = nullptr);

// Reads pending input up to `reads` times, joining what it reads, and stops as soon as a
// complete line that is the answer has arrived. A line that is no answer (a late reply to an
// earlier command) is passed over, so the answer behind it still counts. After each read that
// brings no answer it waits up to kPauseMs for input, so a handheld that never answers costs
// `reads` pauses. Blocks the window thread meanwhile. Stops early when the port is not open.
// Returns the text from the answer line on; without an answer, the start of a line not yet
// complete when there is one, else the latest line passed over (empty when nothing came).
QByteArray read(SerialPort& port, int reads, const Answer& isAnswer);

// The same, for a wait that any complete line answers.
QByteArray read(SerialPort& port, int reads);

} // namespace PolledReply
