#pragma once

#include "sim/DeviceModel.h"

#include <QByteArray>

// The simulated handheld's demo records as they arrive on the wire, each with its CR LF, repeated
// until there are at least `bytes` and then cut to a multiple of `piece` bytes (a record cut there
// joins the start of the next round, as any line may arrive in pieces).
inline QByteArray recordStream(qsizetype bytes, qsizetype piece = 1) {
    const QByteArray round = DeviceModel::demoRecords(1000).join("\r\n") + "\r\n";
    QByteArray stream;
    while (stream.size() < bytes)
        stream += round;
    stream.truncate(stream.size() - stream.size() % piece);
    return stream;
}
