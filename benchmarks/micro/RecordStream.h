#pragma once

#include "sim/DeviceModel.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

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

// Times `handle(record)` on the demo records in turn, one record an iteration, and reports the
// items and the bytes: each record's own and `lineEnd` more (2 where it comes with its CR LF).
template <typename Handle>
void timeEachRecord(benchmark::State& state, qsizetype lineEnd, Handle handle) {
    const QList<QByteArray> records = DeviceModel::demoRecords(1000);
    qsizetype next = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray& record = records.at(next);
        next = (next + 1) % records.size();
        benchmark::DoNotOptimize(handle(record));
        bytes += record.size() + lineEnd;
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations());
}
