// Appending one piece of a record download to the shown traffic log, as the receive handler does
// about 120 times a second at the wire rate: the text goes in, and then the event loop turns
// once, as it does between two receive events; the log is painted whenever its frame is due, as
// in the window. The log already holds 0, 1 or 4 MB.
//
// Beside it, the same with Qt's own text view, which the log would be if it kept its text in a
// Qt text document: the reason the log draws its lines itself.

#include "benchmarks/micro/RecordStream.h"
#include "platform/QtSingleShotTimer.h"
#include "platform/SystemClock.h"
#include "ui/FramePacer.h"
#include "ui/PaintNow.h"
#include "ui/TrafficLog.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kPiece = 32; // what a serial adapter hands over at 38400 baud
constexpr qsizetype kMegabyte = 1024 * 1024;

// The log as a window of its own, painted at the frames of its pacer as the tool's window is.
struct PacedLog {
    SystemClock clock;
    QtSingleShotTimer frameTimer;
    FramePacer pacer{frameTimer, clock, [this] { PaintNow::changes(log); }};
    TrafficLog log{pacer};
};

void trafficLogAppend(benchmark::State& state) {
    const qsizetype held = state.range(0) * kMegabyte;
    const QByteArray stream = recordStream(qMax(held, kMegabyte), kPiece);
    PacedLog paced;
    TrafficLog& log = paced.log;
    log.resize(800, 160);
    log.show();
    QApplication::processEvents();
    for (qsizetype at = 0; at < held; at += 64 * 1024)
        log.appendLog(stream.mid(at, 64 * 1024));
    QApplication::processEvents();

    qsizetype at = 0;
    for (auto _ : state) {
        log.appendLog(stream.mid(at, kPiece));
        QApplication::processEvents();
        at = (at + kPiece) % stream.size();
    }
    state.SetBytesProcessed(state.iterations() * kPiece);
}

void qtTextViewAppend(benchmark::State& state) {
    const qsizetype held = state.range(0) * kMegabyte;
    const QByteArray stream = recordStream(qMax(held, kMegabyte), kPiece);
    QPlainTextEdit view;
    view.setReadOnly(true);
    view.setMaximumBlockCount(40000);
    view.resize(800, 160);
    view.show();
    const auto append = [&view](const QByteArray& bytes) {
        QTextCursor end(view.document());
        end.movePosition(QTextCursor::End);
        end.insertText(QString::fromLatin1(bytes));
        view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    };
    for (qsizetype at = 0; at < held; at += 64 * 1024)
        append(stream.mid(at, 64 * 1024));
    QApplication::processEvents();

    qsizetype at = 0;
    for (auto _ : state) {
        append(stream.mid(at, kPiece));
        QApplication::processEvents();
        at = (at + kPiece) % stream.size();
    }
    state.SetBytesProcessed(state.iterations() * kPiece);
}

} // namespace

BENCHMARK(trafficLogAppend)->Arg(0)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);
BENCHMARK(qtTextViewAppend)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
