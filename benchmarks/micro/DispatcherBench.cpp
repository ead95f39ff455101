// The dispatcher handing record lines to the record download while it transfers: each line is
// converted, written to the record file and counted.

#include "benchmarks/micro/BenchPort.h"
#include "benchmarks/micro/NullLinkView.h"
#include "benchmarks/micro/RecordStream.h"
#include "benchmarks/micro/SilentBoxes.h"
#include "exchange/DataFile.h"
#include "exchange/RecordDownload.h"
#include "exchange/TransferProgress.h"
#include "link/Link.h"
#include "platform/MemoryControls.h"
#include "platform/SystemClock.h"
#include "sim/DeviceModel.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class NoProgress final : public TransferProgress {
public:
    void show(const QString&, qint64, qint64) override {}
    void hide() override {}
};

void dispatcherWithRecordHandler(benchmark::State& state) {
    QTemporaryDir dir;
    BenchPort port;
    // More records announced than any run hands over, so the transfer never ends.
    port.answer("STA\r", "0|1000000000000\r\n");
    NullLinkView view;
    SilentBoxes boxes;
    SystemClock clock;
    Link link(port, view, boxes, clock, clock, [](std::function<void()>) {});
    MemoryControls controls;
    controls.setText(Control::PfadSpeichern, dir.filePath(QStringLiteral("records.csv")));
    DataFile dataFile;
    NoProgress progress;
    RecordDownload download(link, controls, dataFile, clock, progress);
    link.dispatcher().attach(&download);
    download.start();
    if (!download.transferring()) {
        state.SkipWithError("the download did not start");
        return;
    }

    timeEachRecord(state, 2,
                   [&](const QByteArray& record) { return link.dispatcher().dispatch(record); });
    if (boxes.shown() > 0)
        state.SkipWithError("the record handler reported a failure");
}

} // namespace

BENCHMARK(dispatcherWithRecordHandler);
