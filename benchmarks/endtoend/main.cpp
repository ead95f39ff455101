// qv-bench: the tool's performance end to end, measured on the real window against quorvelino-sim
// over a pseudo-terminal, headless (Qt's offscreen platform, which paints as a screen would), and
// beside a serial terminal under a virtual X server.
//
//   qv-bench [--sim PATH] [--runs N] [--rounds N] [--no-callgrind] [--no-terminal] [--whole-large]
//
// Each scenario runs in a process of its own (this program with --scenario NAME). The table shows
// the median of N runs (5 for the start-up), the longest stall of all of them. Then the tool and
// cutecom take turns under Xvfb, primed and just started, receiving the same downloads at the
// wire rate; their CPU time and the X server's over each whole transfer are compared round by
// round. Each target follows as met or missed. Exits with 1
// when a target was missed or a scenario failed.

#include "benchmarks/endtoend/ChildRuns.h"
#include "benchmarks/endtoend/Report.h"
#include "benchmarks/endtoend/ResourceUse.h"
#include "benchmarks/endtoend/Scenarios.h"
#include "benchmarks/endtoend/TerminalComparison.h"
#include "benchmarks/endtoend/VirtualDisplay.h"
#include "ui/Tool.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kMegaRecords = 32767; // the largest download: about 1 MB
constexpr int kPacedSeconds = 10;
constexpr int kSelections = 1000;
constexpr int kStartupRuns = 5;

// The targets.
constexpr qint64 kDownloadCpuUs = 1'000'000;
constexpr qint64 kDownloadWallUs = 3'000'000;
constexpr qint64 kDownloadInstructions = 600'000'000;
constexpr double kGrowth = 2.2;
constexpr qint64 kStallUs = 50'000;
constexpr qint64 kConnectBeyondUs = 30'000;
constexpr int kUploadFactor = 3;
constexpr qint64 kPeakBytes = 100'000'000;
constexpr qint64 kStartupUs = 300'000;

qint64 value(const QJsonObject& result, const char* key) {
    return result.value(QLatin1String(key)).toInteger();
}

bool ok(const QJsonObject& result) {
    return result.value(QLatin1String("ok")).toBool();
}

QJsonObject failure(const QString& why) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), why}};
}

// --- the scenario, in its own process ---

int runScenario(int argc, char* argv[], qint64 startedNs) {
    Tool::prepareApplication();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QString scenario = QStringLiteral("scenario");
    const QString sim = QStringLiteral("sim");
    const QString records = QStringLiteral("records");
    const QString launched = QStringLiteral("launched");
    const QString callgrind = QStringLiteral("callgrind");
    const QString xserver = QStringLiteral("xserver");
    const QString limit = QStringLiteral("limit");
    parser.addOptions({{scenario, QString(), QStringLiteral("NAME")},
                       {limit, QString(), QStringLiteral("MS")},
                       {sim, QString(), QStringLiteral("PATH")},
                       {records, QString(), QStringLiteral("N")},
                       {launched, QString(), QStringLiteral("NS")},
                       {xserver, QString(), QStringLiteral("PID")},
                       {callgrind, QString()}});
    parser.process(app);
    const QString name = parser.value(scenario);
    const QString simPath = parser.value(sim);
    QJsonObject result;
    if (name == QLatin1String("startup"))
        result = Scenarios::startup(parser.isSet(launched) ? parser.value(launched).toLongLong()
                                                           : startedNs);
    else if (name == QLatin1String("connect"))
        result = Scenarios::connect(simPath);
    else if (name == QLatin1String("download"))
        result =
            Scenarios::download(simPath, parser.value(records).toInt(), parser.isSet(callgrind));
    else if (name == QLatin1String("paced"))
        result = Scenarios::pacedDownload(simPath, kPacedSeconds);
    else if (name == QLatin1String("upload"))
        result = Scenarios::upload(simPath, kSelections);
    else if (name == QLatin1String("paced-x"))
        result = Scenarios::pacedUnderX(simPath, parser.value(xserver).toLongLong(),
                                        TerminalComparison::kIdleMs, parser.value(records).toInt(),
                                        parser.value(limit).toInt());
    else if (name == QLatin1String("prime-x"))
        result = Scenarios::primeDisplay();
    else
        result = failure(QStringLiteral("no scenario %1").arg(name));
    std::printf("%s%s\n", ChildRuns::resultTag().constData(),
                QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
    return 0;
}

// The run whose key is the median of all; failed runs count as the worst.
QJsonObject median(QList<QJsonObject> runs, const std::function<qint64(const QJsonObject&)>& key) {
    for (const QJsonObject& run : runs) {
        if (!ok(run))
            return run;
    }
    std::sort(runs.begin(), runs.end(),
              [&](const QJsonObject& a, const QJsonObject& b) { return key(a) < key(b); });
    return runs.at(runs.size() / 2);
}

qint64 longestStall(const QList<QJsonObject>& runs) {
    qint64 longest = -1;
    for (const QJsonObject& run : runs)
        longest = qMax(longest, value(run, "stallUs"));
    return longest;
}

QList<QJsonObject> repeat(int times, const std::function<QJsonObject()>& run) {
    QList<QJsonObject> runs;
    for (int i = 0; i < times; ++i) {
        runs.append(run());
        std::fprintf(stderr, ".");
    }
    return runs;
}

qint64 byWall(const QJsonObject& run) {
    return value(run, "wallUs");
}
qint64 byCpu(const QJsonObject& run) {
    return value(run, "cpuUs");
}
qint64 beyondPauses(const QJsonObject& run) {
    return value(run, "wallUs") - value(run, "pausesMs") * 1000;
}

// Every run of each scenario, the run that stands for each, and the instruction counts.
struct Measured {
    QList<QJsonObject> startups;
    QList<QJsonObject> connects;
    QList<QJsonObject> megas;
    QList<QJsonObject> twoMegas;
    QList<QJsonObject> paced;
    QList<QJsonObject> uploads;
    QJsonObject startup;
    QJsonObject connect;
    QJsonObject mega;
    QJsonObject twoMega;
    QJsonObject pace;
    QJsonObject upload;
    qint64 instructions = -1;        // of the 1 MB download; -1 when not counted
    qint64 twoMegaInstructions = -1; // of the 2 MB download
    QString callgrindError;
};

// Runs every scenario, telling the progress on stderr.
Measured measureScenarios(ChildRuns& children, int runs, bool callgrind) {
    const auto download = [&](int records) {
        return children.run(QStringLiteral("download"),
                            {QStringLiteral("--records"), QString::number(records)});
    };
    Measured m;
    std::fprintf(stderr, "start-up ");
    m.startups = repeat(kStartupRuns, [&] { return children.runStartup(); });
    std::fprintf(stderr, " connect ");
    m.connects = repeat(runs, [&] { return children.run(QStringLiteral("connect")); });
    std::fprintf(stderr, " download 1 MB ");
    m.megas = repeat(runs, [&] { return download(kMegaRecords); });
    std::fprintf(stderr, " download 2 MB ");
    m.twoMegas = repeat(runs, [&] { return download(2 * kMegaRecords); });
    std::fprintf(stderr, " paced download (%d s) ", kPacedSeconds);
    m.paced = repeat(1, [&] { return children.run(QStringLiteral("paced")); });
    std::fprintf(stderr, " upload ");
    m.uploads = repeat(runs, [&] { return children.run(QStringLiteral("upload")); });
    if (callgrind) {
        std::fprintf(stderr, " callgrind (a few minutes) ");
        m.instructions = children.countInstructions(kMegaRecords, &m.callgrindError);
        if (m.instructions >= 0)
            m.twoMegaInstructions = children.countInstructions(2 * kMegaRecords, &m.callgrindError);
    }
    std::fprintf(stderr, "\n");

    m.startup = median(m.startups, byWall);
    m.connect = median(m.connects, beyondPauses);
    m.mega = median(m.megas, byCpu);
    m.twoMega = median(m.twoMegas, byCpu);
    m.pace = m.paced.first();
    m.upload = median(m.uploads, byWall);
    return m;
}

void addRows(Report& report, const Measured& m) {
    report.addRow(QStringLiteral("start-up to the window shown"), m.startup, -1);
    report.addRow(QStringLiteral("connect: click to serial number shown"), m.connect,
                  longestStall(m.connects));
    report.addRow(QStringLiteral("download of %L1 records (%2), full pty speed")
                      .arg(kMegaRecords)
                      .arg(Report::megabytes(value(m.mega, "fileBytes"))),
                  m.mega, longestStall(m.megas));
    report.addRow(QStringLiteral("download of %L1 records (%2), full pty speed")
                      .arg(2 * kMegaRecords)
                      .arg(Report::megabytes(value(m.twoMega, "fileBytes"))),
                  m.twoMega, longestStall(m.twoMegas));
    report.addRow(QStringLiteral("download paced at the wire rate, first %1 s").arg(kPacedSeconds),
                  m.pace, longestStall(m.paced));
    report.addRow(QStringLiteral("upload of %L1 selections, prompt handheld").arg(kSelections),
                  m.upload, -1);
}

// Download at full speed: CPU, wall, memory, instructions.
void addDownloadTargets(Report& report, const Measured& m, bool callgrind) {
    if (ok(m.mega)) {
        report.addTarget(
            value(m.mega, "cpuUs") <= kDownloadCpuUs,
            QStringLiteral("download of 1 MB: %1 of CPU time (at most %2)")
                .arg(Report::duration(value(m.mega, "cpuUs")), Report::duration(kDownloadCpuUs)));
        report.addTarget(
            value(m.mega, "wallUs") <= kDownloadWallUs,
            QStringLiteral("download of 1 MB: %1 of wall time (at most %2)")
                .arg(Report::duration(value(m.mega, "wallUs")), Report::duration(kDownloadWallUs)));
        const qint64 peak = value(m.mega, "peakKb") * 1024;
        report.addTarget(peak < kPeakBytes,
                         QStringLiteral("download of 1 MB: peak memory %1 (under %2)")
                             .arg(Report::megabytes(peak), Report::megabytes(kPeakBytes)));
    } else {
        report.addTarget(false, QStringLiteral("download of 1 MB: the run failed"));
    }
    if (m.instructions >= 0)
        report.addTarget(m.instructions <= kDownloadInstructions,
                         QStringLiteral("download of 1 MB under callgrind: %L1 instructions (at "
                                        "most %L2)")
                             .arg(m.instructions)
                             .arg(kDownloadInstructions));
    else if (callgrind)
        report.addTarget(
            false, QStringLiteral("download of 1 MB under callgrind: %1").arg(m.callgrindError));
}

// Growth: counted in instructions, which repeat; the CPU times are shown beside them.
void addGrowthTarget(Report& report, const Measured& m, bool callgrind) {
    if (ok(m.mega) && ok(m.twoMega) && m.instructions > 0 && m.twoMegaInstructions > 0) {
        const double growth = double(m.twoMegaInstructions) / double(m.instructions);
        const double cpuGrowth = double(value(m.twoMega, "cpuUs")) / double(value(m.mega, "cpuUs"));
        report.addTarget(growth <= kGrowth,
                         QStringLiteral("growth: 2 MB take %1 times the instructions of 1 MB "
                                        "(%L2), %3 times its CPU time (at most %4)")
                             .arg(growth, 0, 'f', 2)
                             .arg(m.twoMegaInstructions)
                             .arg(cpuGrowth, 0, 'f', 2)
                             .arg(kGrowth, 0, 'f', 1));
    } else if (ok(m.mega) && ok(m.twoMega) && !callgrind) {
        const double cpuGrowth = double(value(m.twoMega, "cpuUs")) / double(value(m.mega, "cpuUs"));
        report.addTarget(cpuGrowth <= kGrowth,
                         QStringLiteral("growth: 2 MB take %1 times the CPU time of 1 MB (at most "
                                        "%2)")
                             .arg(cpuGrowth, 0, 'f', 2)
                             .arg(kGrowth, 0, 'f', 1));
    } else {
        report.addTarget(false, QStringLiteral("growth: a download failed"));
    }
}

// Stalls: connect, downloads.
void addStallTarget(Report& report, const Measured& m) {
    qint64 stall = -1;
    bool measuredAll = true;
    for (const QList<QJsonObject>* list : {&m.connects, &m.megas, &m.twoMegas, &m.paced}) {
        for (const QJsonObject& run : *list)
            measuredAll = measuredAll && ok(run);
        stall = qMax(stall, longestStall(*list));
    }
    report.addTarget(measuredAll && stall <= kStallUs,
                     QStringLiteral("the window never stalls more than %1 beyond the prescribed "
                                    "pauses (at most %2), connecting and downloading")
                         .arg(Report::duration(stall), Report::duration(kStallUs)));
}

// Connect, upload and start-up.
void addOperatorTargets(Report& report, const Measured& m) {
    if (ok(m.connect)) {
        const qint64 overrun = value(m.connect, "pausedUs") - value(m.connect, "pausesMs") * 1000;
        report.addTarget(beyondPauses(m.connect) <= kConnectBeyondUs,
                         QStringLiteral("connect: %1 beyond the %2 of prescribed pauses, %3 of it "
                                        "the system's sleeps overrunning them (at most %4)")
                             .arg(Report::duration(beyondPauses(m.connect)),
                                  Report::duration(value(m.connect, "pausesMs") * 1000),
                                  Report::duration(overrun), Report::duration(kConnectBeyondUs)));
    } else {
        report.addTarget(false, QStringLiteral("connect: the run failed"));
    }
    if (ok(m.upload)) {
        const qint64 allowed = kUploadFactor * (Report::wireUs(value(m.upload, "wireBytes")) +
                                                value(m.upload, "pausesMs") * 1000);
        report.addTarget(value(m.upload, "wallUs") <= allowed,
                         QStringLiteral("upload: %1, within %2 times the wire time plus the %3 of "
                                        "5 ms pauses, %4")
                             .arg(Report::duration(value(m.upload, "wallUs")))
                             .arg(kUploadFactor)
                             .arg(Report::duration(value(m.upload, "pausesMs") * 1000),
                                  Report::duration(allowed)));
    } else {
        report.addTarget(false, QStringLiteral("upload: the run failed"));
    }
    if (ok(m.startup))
        report.addTarget(
            value(m.startup, "wallUs") < kStartupUs,
            QStringLiteral("start-up to the window shown: %1 (under %2)")
                .arg(Report::duration(value(m.startup, "wallUs")), Report::duration(kStartupUs)));
    else
        report.addTarget(false, QStringLiteral("start-up: the run failed"));
}

int runDriver(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures the tool end to end against the simulated handheld."));
    parser.addHelpOption();
    const QString sim = QStringLiteral("sim");
    const QString runsOption = QStringLiteral("runs");
    const QString noCallgrind = QStringLiteral("no-callgrind");
    const QString roundsOption = QStringLiteral("rounds");
    const QString noTerminal = QStringLiteral("no-terminal");
    const QString wholeLarge = QStringLiteral("whole-large");
    parser.addOptions({
        {sim, QStringLiteral("The simulated handheld program."), QStringLiteral("PATH"),
         QStringLiteral(QV_SIM_PATH)},
        {runsOption, QStringLiteral("Runs of each scenario but the paced one (default 3)."),
         QStringLiteral("N"), QStringLiteral("3")},
        {roundsOption,
         QStringLiteral("Rounds of the tool and cutecom under Xvfb (default %1).")
             .arg(TerminalComparison::kRounds),
         QStringLiteral("N"), QString::number(TerminalComparison::kRounds)},
        {noCallgrind, QStringLiteral("Skip the instruction count under callgrind.")},
        {noTerminal, QStringLiteral("Skip the comparison with cutecom under Xvfb.")},
        {wholeLarge, QStringLiteral("Under Xvfb, measure the download of %L1 records whole "
                                    "(279 s a run) instead of its first %2 s.")
                         .arg(TerminalComparison::kLargeRecords)
                         .arg(TerminalComparison::kLargeMs / 1000)},
    });
    parser.process(app);
    const int runs = qMax(1, parser.value(runsOption).toInt());
    const bool callgrind = !parser.isSet(noCallgrind);
    ChildRuns children(QCoreApplication::applicationFilePath(), parser.value(sim));
    const Measured measured = measureScenarios(children, runs, callgrind);

    Report report;
    addRows(report, measured);
    // Download at the wire rate: the tool beside a serial terminal, both on an X server.
    if (!ok(measured.pace))
        report.addTarget(false, QStringLiteral("download at the wire rate: the run failed"));
    if (!parser.isSet(noTerminal)) {
        std::fprintf(stderr, "beside cutecom under Xvfb ");
        TerminalComparison::compare(children, qMax(1, parser.value(roundsOption).toInt()),
                                    parser.isSet(wholeLarge), &report);
        std::fprintf(stderr, "\n");
    }
    addDownloadTargets(report, measured, callgrind);
    addGrowthTarget(report, measured, callgrind);
    addStallTarget(report, measured);
    addOperatorTargets(report, measured);

    std::printf("%s", qPrintable(report.text()));
    return report.allMet() ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    const qint64 startedNs = monotonicNs();
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--scenario") == 0)
            return runScenario(argc, argv, startedNs);
    }
    return runDriver(argc, argv);
}
