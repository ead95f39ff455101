#pragma once

#include <QByteArray>

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

// True when the text holds a complete line: a CR LF has arrived.
bool complete(const QByteArray& text);

// Reads pending input up to `reads` times, joining what it reads, and stops as soon as the text
// is complete. After each read that leaves it incomplete it waits up to kPauseMs for input, so
// a handheld that never answers costs `reads` pauses. Blocks the window thread meanwhile. Stops
// early, with what it has, when the port is not open. The text may be incomplete (the budget was
// spent) or hold more than one line.
QByteArray read(SerialPort& port, int reads);

} // namespace PolledReply
