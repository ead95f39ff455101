// A record line as received to the line of the record file.

#include "exchange/CsvConversion.h"
#include "sim/DeviceModel.h"

#include <benchmark/benchmark.h>

namespace {

void recordLineToFileLine(benchmark::State& state) {
    const QList<QByteArray> records = DeviceModel::demoRecords(1000);
    qsizetype next = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray& record = records.at(next);
        next = (next + 1) % records.size();
        benchmark::DoNotOptimize(CsvConversion::recordToFileLine(record));
        bytes += record.size();
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(recordLineToFileLine);
