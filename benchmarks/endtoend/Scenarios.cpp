#include "benchmarks/endtoend/Scenarios.h"

#include "benchmarks/endtoend/BenchSession.h"
#include "benchmarks/endtoend/ProcessCpu.h"
#include "benchmarks/endtoend/ResourceUse.h"
#include "benchmarks/endtoend/TerminalComparison.h"
#include "exchange/CsvConversion.h"
#include "link/Answers.h"
#include "sim/DeviceModel.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryDir>
#include <functional>

namespace {

// Notes the first paint of the widget it watches.
class PaintWatch final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

QJsonObject failed(const QString& why) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), why}};
}

QJsonObject measured(qint64 fromNs, qint64 toNs, const ResourceUse& before,
                     const ResourceUse& after, qint64 wireBytes, qint64 pausesMs, qint64 stallUs) {
    return {
        {QStringLiteral("ok"), true},
        {QStringLiteral("wallUs"), (toNs - fromNs) / 1000},
        {QStringLiteral("cpuUs"), after.cpuUs - before.cpuUs},
        {QStringLiteral("peakKb"), after.peakKb},
        {QStringLiteral("wireBytes"), wireBytes},
        {QStringLiteral("pausesMs"), pausesMs},
        {QStringLiteral("stallUs"), stallUs},
    };
}

// The bytes of a command with its CR and of the handheld's answer to it.
qint64 exchanged(DeviceModel& model, const QByteArray& command) {
    return command.size() + 1 + model.receive(command + '\r').size();
}

QByteArray expectedRecordFile(int records) {
    QByteArray file;
    for (const QByteArray& record : DeviceModel::demoRecords(records))
        file += CsvConversion::recordToFileLine(record) + "\r\n";
    return file;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the span. Under callgrind with --toggle-collect=*countedSpan* only what runs in here, the
// event loop and every handler it calls included, is counted.
[[gnu::noinline]] bool countedSpan(const std::function<bool()>& span) {
    return span();
}

} // namespace

namespace Scenarios {

QJsonObject startup(qint64 launchedNs) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QApplication::setApplicationName(QStringLiteral("Quorvelino"));
    Tool tool;
    QApplication::setWindowIcon(tool.window().windowIcon());
    PaintWatch watch;
    tool.window().installEventFilter(&watch);
    tool.start();
    while (!watch.painted) {
        if (monotonicNs() - launchedNs > 10'000'000'000LL)
            return failed(QStringLiteral("the window was not painted within 10 s"));
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const qint64 shownNs = monotonicNs();
    tool.window().close();
    return measured(launchedNs, shownNs, ResourceUse(), ResourceUse::now(), 0, 0, -1);
}

QJsonObject primeDisplay() {
    QWidget screen;
    screen.setGeometry(QGuiApplication::primaryScreen()->geometry());
    screen.setAutoFillBackground(true);
    PaintWatch watch;
    screen.installEventFilter(&watch);
    screen.show();
    QElapsedTimer waited;
    waited.start();
    while (!watch.painted && waited.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    // The paint reaches the X server before the client disconnects.
    QApplication::sync();
    return watch.painted ? QJsonObject{{QStringLiteral("ok"), true}}
                         : failed(QStringLiteral("the screen-sized window was not painted"));
}

QJsonObject connect(const QString& sim) {
    BenchSession session(sim, {});
    if (!session.error().isEmpty())
        return failed(session.error());
    const ResourceUse before = ResourceUse::now();
    session.stalls().start();
    const qint64 clickedNs = monotonicNs();
    qint64 shownNs = 0;
    if (!session.connect(&shownNs))
        return failed(QStringLiteral("the tool did not connect: %1")
                          .arg(session.boxes().texts().join(QStringLiteral(" | "))));
    session.stalls().stop();
    const ResourceUse after = ResourceUse::now();

    // Two greetings (the second one is answered), then the twelve status queries.
    DeviceModel model;
    qint64 wire = 2 * exchanged(model, "ONLINE");
    for (int i = 0; i < StatusReplies::kCount; ++i)
        wire += exchanged(model, Answers::statusPrefix(StatusReply(i)).chopped(1));
    QJsonObject result =
        measured(clickedNs, shownNs, before, after, wire,
                 session.pauses().prescribedMs(clickedNs, shownNs), session.stalls().longestUs());
    result.insert(QStringLiteral("pausedUs"), session.pauses().actualUs(clickedNs, shownNs));
    return result;
}

// A connected session with its "records.csv" chosen for the records: the button that starts the
// download, or nothing, with why.
struct Ready {
    QAbstractButton* start = nullptr;
    QString path;
    QString error;
};

Ready readyForDownload(BenchSession& session) {
    Ready ready;
    ready.path = session.filePath(QStringLiteral("records.csv"));
    if (!session.error().isEmpty()) {
        ready.error = session.error();
    } else if (!session.connect()) {
        ready.error = QStringLiteral("the tool did not connect");
    } else {
        session.tool().controls().setText(Control::PfadSpeichern, ready.path);
        ready.start = &session.tool().window().button("LeseErfassungen");
    }
    return ready;
}

// A transfer ends when its last paint is done and the window is quiet again.
constexpr int kSettleMs = 1000;

// Every record the handheld's counter takes, at the wire rate.
constexpr int kPacedRecords = 32767;
QStringList pacedHandheld() {
    return {QStringLiteral("--records"), QString::number(kPacedRecords), QStringLiteral("--wire")};
}

QJsonObject download(const QString& sim, int records, bool callgrind) {
    BenchSession session(sim, {QStringLiteral("--records"), QString::number(records)});
    const Ready ready = readyForDownload(session);
    if (!ready.start)
        return failed(ready.error);
    const QString& path = ready.path;

    const ResourceUse before = ResourceUse::now();
    if (!callgrind)
        session.stalls().start();
    const qint64 clickedNs = monotonicNs();
    const bool finished = countedSpan([&] {
        ready.start->click();
        return session.waitFor([&] { return !session.boxes().texts().isEmpty(); }, 30 * 60 * 1000);
    });
    const qint64 doneNs = session.doneNs();
    if (!callgrind)
        session.stalls().stop();
    const ResourceUse after = ResourceUse::now();

    const RecordDownload& handler = session.tool().handlers().download;
    if (!finished || handler.transferring() || handler.transferOutcome() != Outcome::Done ||
        session.boxes().texts().size() != 1)
        return failed(QStringLiteral("the download did not finish as it should: %1")
                          .arg(session.boxes().texts().join(QStringLiteral(" | "))));
    const QByteArray written = readAll(path);
    if (written != expectedRecordFile(records))
        return failed(QStringLiteral("the record file differs from the handheld's records"));
    if (session.tool().window().log().lineCount() < 2)
        return failed(QStringLiteral("the traffic log does not show the records"));

    DeviceModel model(DeviceModel::Options{records, 100, 0});
    const qint64 wire = exchanged(model, "STA") + exchanged(model, "GET");
    QJsonObject result = measured(clickedNs, doneNs, before, after, wire,
                                  session.pauses().prescribedMs(clickedNs, doneNs),
                                  callgrind ? -1 : session.stalls().longestUs());
    result.insert(QStringLiteral("fileBytes"), written.size());
    return result;
}

QJsonObject pacedDownload(const QString& sim, int seconds) {
    BenchSession session(sim, pacedHandheld());
    const Ready ready = readyForDownload(session);
    if (!ready.start)
        return failed(ready.error);
    const QString& path = ready.path;

    // No stall meter here: its own wake-ups would count as the tool's CPU time.
    const ResourceUse before = ResourceUse::now();
    const qint64 clickedNs = monotonicNs();
    ready.start->click();
    session.waitFor([] { return false; }, seconds * 1000);
    const qint64 endNs = monotonicNs();
    const ResourceUse after = ResourceUse::now();

    if (!session.boxes().texts().isEmpty())
        return failed(session.boxes().texts().join(QStringLiteral(" | ")));
    // The file holds every complete record so far; the conversion keeps each line's length.
    const qint64 fileBytes = QFileInfo(path).size();
    const QByteArray expected = expectedRecordFile(kPacedRecords);
    if (fileBytes <= 0 || readAll(path) != expected.left(fileBytes))
        return failed(QStringLiteral("the record file differs from the handheld's records"));
    DeviceModel model(DeviceModel::Options{kPacedRecords, 100, 0});
    QJsonObject result =
        measured(clickedNs, endNs, before, after, exchanged(model, "STA") + 4 + fileBytes,
                 session.pauses().prescribedMs(clickedNs, endNs), -1);
    result.insert(QStringLiteral("fileBytes"), fileBytes);
    return result;
}

QJsonObject pacedUnderX(const QString& sim, qint64 xServerPid, int idleMs, int records,
                        int limitMs) {
    BenchSession session(
        sim, {QStringLiteral("--records"), QString::number(records), QStringLiteral("--wire")});
    session.tool().window().resize(TerminalComparison::kWindowSize);
    const Ready ready = readyForDownload(session);
    if (!ready.start)
        return failed(ready.error);
    const QString& path = ready.path;
    session.waitFor([] { return false; }, 1000); // the chain's last paint settles

    SpanCpu idle({0, xServerPid});
    session.waitFor([] { return false; }, idleMs);
    idle.end();
    SpanCpu busy({0, xServerPid});
    ready.start->click();
    const bool finished =
        session.waitFor([&] { return !session.boxes().texts().isEmpty(); }, limitMs);
    session.waitFor([] { return false; }, kSettleMs);
    busy.end();

    // The file holds every complete record so far, all of them once the transfer finished.
    const QByteArray written = readAll(path);
    const QByteArray expected = expectedRecordFile(records);
    if (finished && session.tool().handlers().download.transferOutcome() != Outcome::Done)
        return failed(QStringLiteral("the download did not finish as it should: %1")
                          .arg(session.boxes().texts().join(QStringLiteral(" | "))));
    if (written.isEmpty() || written != expected.left(finished ? expected.size() : written.size()))
        return failed(QStringLiteral("the record file differs from the handheld's records"));
    if (busy.cpuNs(1) < 0)
        return failed(QStringLiteral("the X server is gone"));
    return SpanCpu::idleAndBusy(idle, busy, written.size(), imageTransport());
}

QJsonObject upload(const QString& sim, int selections) {
    BenchSession session(sim, {QStringLiteral("--capacity"), QString::number(2 * selections)});
    if (!session.error().isEmpty())
        return failed(session.error());
    if (!session.connect())
        return failed(QStringLiteral("the tool did not connect"));
    const QString path = session.filePath(QStringLiteral("selections.csv"));
    QByteArray file;
    qint64 wire = 0;
    for (int n = 1; n <= selections; ++n) {
        const QByteArray line =
            QByteArray::number(4711000 + n) + ";Animal " + QByteArray::number(n) + ";A";
        file += line + "\r\n";
        wire += CsvConversion::selectionToCommand(line).size() + 1 + 4; // "Ok" and CR LF
    }
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
        return failed(QStringLiteral("cannot write the selection file"));
    out.close();
    session.tool().controls().setText(Control::PfadLaden, path);
    QAbstractButton& start = session.tool().window().button("GeneriereDaten");

    const ResourceUse before = ResourceUse::now();
    const qint64 clickedNs = monotonicNs();
    start.click(); // the upload runs to its end inside the click
    const qint64 doneNs = monotonicNs();
    const ResourceUse after = ResourceUse::now();

    if (!session.boxes().texts().isEmpty())
        return failed(session.boxes().texts().join(QStringLiteral(" | ")));
    const QByteArray last = "Dataset  " + QByteArray::number(selections) + " - Ok\r\n";
    if (session.tool().window().log().text() != last)
        return failed(QStringLiteral("the log does not report the last selection acknowledged"));
    // The window is blocked from the first selection to the last by design: no stall is measured.
    return measured(clickedNs, doneNs, before, after, wire,
                    session.pauses().prescribedMs(clickedNs, doneNs), -1);
}

} // namespace Scenarios
