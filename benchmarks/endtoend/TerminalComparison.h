#pragma once

#include <QSize>

class ChildRuns;
class Report;

// The tool and the serial terminal take turns under Xvfb, receiving the same records at the wire
// rate; their CPU time and the X server's are compared round by round.
namespace TerminalComparison {

// Rounds by default, and the quiet span measured before each transfer.
constexpr int kRounds = 3;
constexpr int kIdleMs = 3000;
// Both programs' windows have this size.
constexpr QSize kWindowSize{1000, 700};
// The downloads: every record of the smaller one; of the larger one (279 s on the line) the
// first kLargeMs, unless it is measured whole.
constexpr int kSmallRecords = 3600;
constexpr int kLargeRecords = 32767;
constexpr int kLargeMs = 30000;

// Runs the rounds, telling the progress on stderr; adds their tables and the targets to the
// report.
void compare(ChildRuns& children, int rounds, bool wholeLarge, Report* report);

} // namespace TerminalComparison
