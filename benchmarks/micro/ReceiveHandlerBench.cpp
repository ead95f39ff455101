// The receive handler cutting lines out of what one read brings: a byte at a time, pieces as a
// serial adapter delivers them, and a full buffer at once.

#include "benchmarks/micro/BenchPort.h"
#include "benchmarks/micro/NullLinkView.h"
#include "benchmarks/micro/RecordStream.h"
#include "benchmarks/micro/SilentBoxes.h"
#include "link/Dispatcher.h"
#include "link/ReceiveBuffer.h"
#include "link/ReceiveHandler.h"

#include <benchmark/benchmark.h>

namespace {

void receiveHandlerCutsLines(benchmark::State& state) {
    const qsizetype piece = state.range(0);
    BenchPort port;
    port.setInput(recordStream(256 * 1024, 4096), piece);
    NullLinkView view;
    SilentBoxes boxes;
    ReceiveBuffer buffer;
    const ReplyMode mode = ReplyMode::Idle; // lines are cut and logged, not interpreted
    Dispatcher dispatcher(mode);
    ReceiveHandler handler(port, view, boxes, buffer, dispatcher);
    for (auto _ : state)
        handler.run();
    state.SetBytesProcessed(state.iterations() * piece);
}

} // namespace

BENCHMARK(receiveHandlerCutsLines)->Arg(1)->Arg(64)->Arg(4096);
