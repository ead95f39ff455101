// A record line as received to the line of the record file.

#include "benchmarks/micro/RecordStream.h"
#include "exchange/CsvConversion.h"

#include <benchmark/benchmark.h>

namespace {

void recordLineToFileLine(benchmark::State& state) {
    timeEachRecord(
        state, 0, [](const QByteArray& record) { return CsvConversion::recordToFileLine(record); });
}

} // namespace

BENCHMARK(recordLineToFileLine);
