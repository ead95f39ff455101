#pragma once

class ChildRuns;
class Report;

// The tool and the serial terminal take turns under Xvfb, receiving the same records at the wire
// rate; their CPU time and the X server's are compared round by round.
namespace TerminalComparison {

// Rounds by default, and the spans measured in each.
constexpr int kRounds = 3;
constexpr int kIdleMs = 3000;
constexpr int kBusyMs = 10000;

// Runs the rounds (a first one more, to warm up, that is not counted), telling the progress on
// stderr; adds their table and the two targets to the report.
void compare(ChildRuns& children, int rounds, Report* report);

} // namespace TerminalComparison
