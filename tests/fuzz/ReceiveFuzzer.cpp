// libFuzzer target: the receive handler and the reply dispatcher, with the status chain, the
// identification read and the record download attached, fed any byte stream cut into receive
// events at any points, in every reply mode.
//
// Input: byte 0 chooses the reply mode (bits 0-1), continuous reading (bit 2) and the records a
// download announces (bits 3-7); byte 1 the longest line the receive buffer holds (255: the
// tool's own limit); bytes 2-3 where the stream is cut; the rest is the stream.
//
// Invariants, checked with assertions:
// - no crash and no undefined behaviour (the sanitizers), no hang (libFuzzer's -timeout);
// - memory bounded: the receive buffer never holds more than its longest line;
// - the log shows every byte received since it was last cleared;
// - lines are independent of how the input was cut: whatever the tool does (lines shown and
//   handled, commands written, messages, controls, the record file, the reply mode, what waits
//   in the buffer) is the same for the stream in one piece, in the pieces the input chooses,
//   and byte by byte.

#include "config/ConfigValues.h"
#include "connection/StatusChain.h"
#include "exchange/DataFile.h"
#include "exchange/RecordDownload.h"
#include "exchange/TransferProgress.h"
#include "link/Link.h"
#include "online/IdentificationReads.h"
#include "tests/support/FakeControls.h"
#include "tests/support/FakeLinkView.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedPort.h"
#include "tests/support/TestEventLoop.h"
#include "tests/support/VirtualClock.h"

#include <QList>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr ReplyMode kModes[] = {ReplyMode::Idle, ReplyMode::IdRead, ReplyMode::RecordDownload,
                                ReplyMode::StatusChain};
constexpr qsizetype kByteByByteAtMost = 1024;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

class NoProgress final : public TransferProgress {
public:
    void show(const QString&, qint64, qint64) override {}
    void hide() override {}
};

// A file in memory for the record download, opened by its /proc path.
class MemoryFile {
public:
    MemoryFile() : m_fd(::memfd_create("records", 0)) {}
    ~MemoryFile() { ::close(m_fd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(m_fd); }
    QByteArray contents() const {
        QByteArray bytes;
        char buffer[4096];
        ssize_t got = 0;
        for (off_t at = 0; (got = ::pread(m_fd, buffer, sizeof buffer, at)) > 0; at += got)
            bytes.append(buffer, got);
        return bytes;
    }

private:
    int m_fd;
};

struct Setup {
    ReplyMode mode = ReplyMode::Idle;
    bool continuous = false;
    int announced = 1;
    qsizetype maxLine = ReceiveBuffer::kMaxLineBytes;
};

struct Effect {
    QByteArray log;
    QByteArray zeile;
    int zeileChanges = 0;
    QByteArray written;
    QStringList boxes;
    ReplyMode mode = ReplyMode::Idle;
    QByteArray pending;
    QStringList controls;
    QByteArray recordFile;
    qint64 received = 0;

    bool operator==(const Effect&) const = default;
};

Effect run(const Setup& setup, const QByteArray& stream, const QList<qsizetype>& pieces) {
    VirtualClock clock;
    const QByteArray count = "0|" + QByteArray::number(setup.announced) + "\r\n";
    SimulatedPort port(
        clock, [&](const QByteArray& bytes) { return bytes == "STA\r" ? count : QByteArray(); });
    port.setPortNumber(1);
    port.open();
    FakeControls controls;
    ConfigValues(controls).fillLists();
    controls.setChecked(Control::ReadCont, setup.continuous);
    FakeLinkView view;
    ScriptedMessageBoxes boxes;
    TestEventLoop loop(clock);
    Link link(
        port, view, boxes, clock, clock, [&](std::function<void()> call) { loop.post(call); },
        setup.maxLine);
    DataFile dataFile;
    NoProgress progress;
    MemoryFile records;
    StatusChain chain(link, controls);
    IdentificationReads identification(link, controls);
    RecordDownload download(link, controls, dataFile, clock, progress);
    link.dispatcher().attach(&chain);
    link.dispatcher().attach(&identification);
    link.dispatcher().attach(&download);

    // As the window runs a click: through the gate, so no receive notification interrupts it.
    link.gate().run([&] {
        switch (setup.mode) {
        case ReplyMode::IdRead:
            identification.readId();
            break;
        case ReplyMode::RecordDownload:
            controls.setText(Control::PfadSpeichern, records.path());
            download.start();
            break;
        default:
            link.setReplyMode(setup.mode);
            break;
        }
    });
    loop.runPosted();
    require(link.replyMode() == setup.mode, "the reply mode is set up");
    port.clearWrites();
    view.clearLog();

    qsizetype at = 0;
    for (const qsizetype size : pieces) {
        port.arrive(stream.mid(at, size));
        loop.runPosted();
        at += size;
        require(link.receiveBuffer().pendingSize() <= setup.maxLine,
                "the receive buffer holds at most one line");
    }
    require(stream.endsWith(view.log()), "the log shows the bytes received since its clear");
    if (!setup.continuous)
        require(view.log() == stream, "the log shows every byte received");

    Effect outcome;
    // A continuous read clears the log at each result, so what it shows depends on the pieces.
    if (!setup.continuous)
        outcome.log = view.log();
    outcome.zeile = view.zeile();
    outcome.zeileChanges = view.zeileChanges();
    outcome.written = port.written();
    outcome.boxes = boxes.texts();
    outcome.mode = link.replyMode();
    outcome.pending = link.receiveBuffer().pending();
    for (const Control shown :
         {Control::Tagtyp, Control::Offtime, Control::Readtimeout, Control::gpstimeout,
          Control::FDXCode, Control::Betriebsart, Control::Order, Control::Sprache,
          Control::Version, Control::SNR, Control::IDAnzeige})
        outcome.controls << controls.text(shown);
    for (const Control box : {Control::EnBeeper, Control::EnGPS, Control::Check_Offtime})
        outcome.controls << QString::number(controls.isChecked(box));
    outcome.controls << QString::number(controls.value(Control::akku))
                     << QString::number(controls.isEnabled(Control::Offtime));
    dataFile.close();
    outcome.recordFile = records.contents();
    outcome.received = download.received();
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    Setup setup;
    setup.mode = kModes[data[0] & 3];
    setup.continuous = (data[0] & 4) != 0;
    setup.announced = 1 + (data[0] >> 3);
    if (data[1] != 255)
        setup.maxLine = 1 + data[1];
    quint32 cutState = data[2] | (quint32(data[3]) << 8);
    const QByteArray stream(reinterpret_cast<const char*>(data) + 4, qsizetype(size) - 4);

    QList<qsizetype> chosen;
    for (qsizetype at = 0; at < stream.size();) {
        cutState = cutState * 1103515245U + 12345U;
        const qsizetype piece = 1 + qsizetype((cutState >> 16) % 24);
        chosen << piece;
        at += piece;
    }
    const Effect whole = run(setup, stream, {stream.size()});
    require(run(setup, stream, chosen) == whole, "the chosen pieces change nothing");
    if (stream.size() <= kByteByByteAtMost) {
        const QList<qsizetype> bytes(stream.size(), 1);
        require(run(setup, stream, bytes) == whole, "byte by byte changes nothing");
    }
    return 0;
}
