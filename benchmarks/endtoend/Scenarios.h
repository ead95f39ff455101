#pragma once

#include <QJsonObject>
#include <QString>

// The end-to-end scenarios, each run in a process of its own so that its peak memory is its own.
// Each returns what it measured:
//   ok, error      whether the run did what it should (the file written, nothing reported)
//   wallUs         elapsed time of the measured span
//   cpuUs          CPU time of the tool in that span, user and system
//   peakKb         peak resident memory of the process so far
//   wireBytes      bytes that crossed the line in the span, both ways
//   pausesMs       pauses the handlers prescribe that fell into the span
//   stallUs        the longest stretch without an event-loop turn beyond those pauses; -1 when
//                  not measured
namespace Scenarios {

// From the launch of the process (launchedNs, monotonic) to the window painted for the first
// time.
QJsonObject startup(qint64 launchedNs);
// Leaves the X server as a desktop's is after a while: a client paints a window of the screen's
// size through its socket and disconnects, so that the server has freed a large block.
QJsonObject primeDisplay();
// From the click on Connect to the serial number shown, with a prompt handheld.
QJsonObject connect(const QString& sim);
// From the click on "Read out records" to "Transfer of records finished.", at the full speed of
// the pseudo-terminal. With `callgrind`, nothing of the benchmark's own (the stall meter) runs in
// that span, which callgrind counts alone.
QJsonObject download(const QString& sim, int records, bool callgrind);
// The first seconds of the largest download with the handheld paced at the wire rate.
QJsonObject pacedDownload(const QString& sim, int seconds);
// The upload of a file of selections to a prompt handheld, from the click to its end.
QJsonObject upload(const QString& sim, int selections);
// A download of `records` records with the handheld paced at the wire rate, the window (sized as
// the terminal's) on an X server whose process is xServerPid: the CPU time of the tool and of the
// X server, idleMs after connecting with nothing arriving, then the whole span from the click on
// "Read out records" to a second after the transfer ended, or after limitMs. The result is
// SpanCpu::idleAndBusy()'s, the record bytes written to the file as "bytes".
QJsonObject pacedUnderX(const QString& sim, qint64 xServerPid, int idleMs, int records,
                        int limitMs);

} // namespace Scenarios
