#pragma once

#include <QJsonObject>
#include <QString>

class VirtualDisplay;

// The serial terminal the tool is measured against: cutecom 0.51 (Qt 5, its output in a text
// view), under the virtual display, with the records coming on a pseudo-terminal of its own at
// the wire rate.
namespace Terminal {

// Starts cutecom with a throw-away home whose settings name the device at 38400 baud 8N1,
// preloading `modemLines` so that it may open a pseudo-terminal, opens the device as the operator
// does (Alt+O, sent with xdotool), and measures cutecom's CPU time and the X server's: idleMs
// with nothing arriving, then busyMs with the records arriving. The result holds the idle and
// busy times in ns ("idleNs", "busyNs", "cpuIdleNs", "cpuBusyNs", "xIdleNs", "xBusyNs") and the
// bytes sent while busy ("bytes"), or "ok" false and an "error".
QJsonObject measure(const VirtualDisplay& display, const QString& modemLines, int idleMs,
                    int busyMs);

} // namespace Terminal
