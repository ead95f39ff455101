#pragma once

#include <QJsonObject>
#include <QSize>
#include <QString>

class VirtualDisplay;

// The serial terminal the tool is measured against: cutecom 0.51 (Qt 5, its output in a text
// view), under the virtual display, with the records coming on a pseudo-terminal of its own at
// the wire rate.
namespace Terminal {

// Starts cutecom with a throw-away home whose settings name the device at 38400 baud 8N1,
// preloading `modemLines` so that it may open a pseudo-terminal, sizes its window to `size`,
// opens the device as the operator does (Alt+O, sent with xdotool), and measures cutecom's CPU
// time and the X server's: idleMs with nothing arriving, then from the first byte of `records`
// records to a second after their last (at most limitMs of sending). The result is
// SpanCpu::idleAndBusy()'s, or "ok" false and an "error".
QJsonObject measure(const VirtualDisplay& display, const QString& modemLines, const QSize& size,
                    int idleMs, int records, int limitMs);

} // namespace Terminal
