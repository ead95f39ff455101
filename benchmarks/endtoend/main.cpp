// qv-bench: the tool's performance end to end, measured on the real window against quorvelino-sim
// over a pseudo-terminal, headless (Qt's offscreen platform, which paints as a screen would), and
// beside a serial terminal under a virtual X server.
//
//   qv-bench [--sim PATH] [--runs N] [--rounds N] [--no-callgrind] [--no-terminal]
//
// Each scenario runs in a process of its own (this program with --scenario NAME). The table shows
// the median of N runs (5 for the start-up), the longest stall of all of them. Then the tool and
// cutecom take turns under Xvfb, receiving the same records at the wire rate; their CPU time and
// the X server's are compared round by round. Each target follows as met or missed. Exits with 1
// when a target was missed or a scenario failed.

#include "benchmarks/endtoend/ChildRuns.h"
#include "benchmarks/endtoend/Report.h"
#include "benchmarks/endtoend/ResourceUse.h"
#include "benchmarks/endtoend/Scenarios.h"
#include "benchmarks/endtoend/Terminal.h"
#include "benchmarks/endtoend/VirtualDisplay.h"
#include "ui/Tool.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

namespace {

constexpr int kMegaRecords = 32767; // the largest download: about 1 MB
constexpr int kPacedSeconds = 10;
constexpr int kSelections = 1000;
constexpr int kStartupRuns = 5;

// Beside the serial terminal: rounds, and the spans measured in each.
constexpr int kRounds = 3;
constexpr int kIdleMs = 3000;
constexpr int kBusyMs = 10000;

// The targets.
constexpr double kToolToTerminal = 0.6;
constexpr double kServerToTerminal = 1.0;
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
    parser.addOptions({{scenario, QString(), QStringLiteral("NAME")},
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
        result =
            Scenarios::pacedUnderX(simPath, parser.value(xserver).toLongLong(), kIdleMs, kBusyMs);
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

// What a program cost while the records arrived, its idle rate taken off: CPU seconds per MiB
// received, its own and the X server's, and its own as a share of the time.
struct Cost {
    double program = 0;
    double server = 0;
    double share = 0;
};

std::optional<Cost> costOf(const QJsonObject& run) {
    if (!ok(run) || value(run, "idleNs") <= 0 || value(run, "bytes") <= 0)
        return std::nullopt;
    const double busy = double(value(run, "busyNs"));
    const double scale = busy / double(value(run, "idleNs"));
    const double mebibytes = double(value(run, "bytes")) / (1024.0 * 1024.0);
    const double program =
        double(value(run, "cpuBusyNs")) - double(value(run, "cpuIdleNs")) * scale;
    const double server = double(value(run, "xBusyNs")) - double(value(run, "xIdleNs")) * scale;
    return Cost{program / 1e9 / mebibytes, server / 1e9 / mebibytes, program / busy};
}

double medianOf(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

QString numbers(const QList<double>& values) {
    QStringList shown;
    for (const double v : values)
        shown << QString::number(v, 'f', 2);
    return shown.join(QStringLiteral(", "));
}

// The tool and cutecom take turns under Xvfb; adds their table and the two targets.
void compareWithTerminal(ChildRuns& children, int rounds, Report* report) {
    VirtualDisplay display;
    QList<Cost> tool;
    QList<Cost> terminal;
    QString failure = display.error();
    // Round 0 warms up the X server (its fonts and glyph caches, the first windows it maps) and
    // the disk caches of both programs; it is not counted.
    for (int round = 0; round <= rounds && failure.isEmpty(); ++round) {
        const QJsonObject toolRun =
            children.runOnDisplay(display.name(), QStringLiteral("paced-x"),
                                  {QStringLiteral("--xserver"), QString::number(display.pid())});
        std::fprintf(stderr, ".");
        const QJsonObject terminalRun =
            Terminal::measure(display, QStringLiteral(QV_MODEM_LINES), kIdleMs, kBusyMs);
        std::fprintf(stderr, ".");
        const std::optional<Cost> toolCost = costOf(toolRun);
        const std::optional<Cost> terminalCost = costOf(terminalRun);
        if (!toolCost)
            failure = QStringLiteral("the tool's run failed: ") +
                      toolRun.value(QLatin1String("error")).toString();
        else if (!terminalCost)
            failure = QStringLiteral("cutecom's run failed: ") +
                      terminalRun.value(QLatin1String("error")).toString();
        else if (round > 0) {
            tool << *toolCost;
            terminal << *terminalCost;
        }
    }
    if (!failure.isEmpty()) {
        report->addTarget(false, QStringLiteral("beside cutecom under Xvfb: %1").arg(failure));
        return;
    }
    QList<double> programRatios;
    QList<double> serverRatios;
    for (qsizetype i = 0; i < tool.size(); ++i) {
        programRatios << tool.at(i).program / terminal.at(i).program;
        serverRatios << tool.at(i).server / terminal.at(i).server;
    }
    const auto row = [](const QString& name, const QList<Cost>& costs) {
        QList<double> program;
        QList<double> server;
        QList<double> share;
        QList<double> together;
        for (const Cost& cost : costs) {
            program << cost.program;
            server << cost.server;
            share << cost.share;
            together << cost.program + cost.server;
        }
        return QStringLiteral("| %1 | %2 (%3 %) | %4 | %5 |\n")
            .arg(name)
            .arg(medianOf(program), 0, 'f', 2)
            .arg(medianOf(share) * 100, 0, 'f', 2)
            .arg(medianOf(server), 0, 'f', 2)
            .arg(medianOf(together), 0, 'f', 2);
    };
    report->addSection(
        QStringLiteral(
            "Beside a serial terminal, each under Xvfb (the X11 platform), receiving the "
            "same records at the wire rate for %1 s, taking turns, %2 rounds; medians, "
            "CPU seconds per MiB received with each process's idle rate taken off:\n\n"
            "| program | program CPU-s per MiB (% of the time) | X server CPU-s per "
            "MiB | together |\n|---|--:|--:|--:|\n")
            .arg(kBusyMs / 1000)
            .arg(rounds) +
        row(QStringLiteral("this tool (download into a CSV file, log shown)"), tool) +
        row(QStringLiteral("cutecom (Qt 5 text view)"), terminal));
    const double program = medianOf(programRatios);
    const double server = medianOf(serverRatios);
    report->addTarget(program <= kToolToTerminal,
                      QStringLiteral("download at the wire rate under Xvfb: the tool's CPU time is "
                                     "%1 times cutecom's (median of the rounds %2; at most %3)")
                          .arg(program, 0, 'f', 2)
                          .arg(numbers(programRatios))
                          .arg(kToolToTerminal, 0, 'f', 1));
    report->addTarget(server <= kServerToTerminal,
                      QStringLiteral("download at the wire rate under Xvfb: the X server's CPU "
                                     "time for the tool is %1 times that for cutecom (median of "
                                     "the rounds %2; at most %3)")
                          .arg(server, 0, 'f', 2)
                          .arg(numbers(serverRatios))
                          .arg(kServerToTerminal, 0, 'f', 1));
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
    parser.addOptions({
        {sim, QStringLiteral("The simulated handheld program."), QStringLiteral("PATH"),
         QStringLiteral(QV_SIM_PATH)},
        {runsOption, QStringLiteral("Runs of each scenario but the paced one (default 3)."),
         QStringLiteral("N"), QStringLiteral("3")},
        {roundsOption,
         QStringLiteral("Rounds of the tool and cutecom under Xvfb (default %1).").arg(kRounds),
         QStringLiteral("N"), QString::number(kRounds)},
        {noCallgrind, QStringLiteral("Skip the instruction count under callgrind.")},
        {noTerminal, QStringLiteral("Skip the comparison with cutecom under Xvfb.")},
    });
    parser.process(app);
    const int runs = qMax(1, parser.value(runsOption).toInt());
    ChildRuns children(QCoreApplication::applicationFilePath(), parser.value(sim));
    const auto download = [&](int records) {
        return children.run(QStringLiteral("download"),
                            {QStringLiteral("--records"), QString::number(records)});
    };

    std::fprintf(stderr, "start-up ");
    const QList<QJsonObject> startups = repeat(kStartupRuns, [&] { return children.runStartup(); });
    std::fprintf(stderr, " connect ");
    const QList<QJsonObject> connects =
        repeat(runs, [&] { return children.run(QStringLiteral("connect")); });
    std::fprintf(stderr, " download 1 MB ");
    const QList<QJsonObject> megas = repeat(runs, [&] { return download(kMegaRecords); });
    std::fprintf(stderr, " download 2 MB ");
    const QList<QJsonObject> twoMegas = repeat(runs, [&] { return download(2 * kMegaRecords); });
    std::fprintf(stderr, " paced download (%d s) ", kPacedSeconds);
    const QList<QJsonObject> paced =
        repeat(1, [&] { return children.run(QStringLiteral("paced")); });
    std::fprintf(stderr, " upload ");
    const QList<QJsonObject> uploads =
        repeat(runs, [&] { return children.run(QStringLiteral("upload")); });
    qint64 instructions = -1;
    qint64 twoMegaInstructions = -1;
    QString callgrindError;
    if (!parser.isSet(noCallgrind)) {
        std::fprintf(stderr, " callgrind (a few minutes) ");
        instructions = children.countInstructions(kMegaRecords, &callgrindError);
        if (instructions >= 0)
            twoMegaInstructions = children.countInstructions(2 * kMegaRecords, &callgrindError);
    }
    std::fprintf(stderr, "\n");

    const QJsonObject startup = median(startups, byWall);
    const QJsonObject connect = median(connects, beyondPauses);
    const QJsonObject mega = median(megas, byCpu);
    const QJsonObject twoMega = median(twoMegas, byCpu);
    const QJsonObject pace = paced.first();
    const QJsonObject upload = median(uploads, byWall);

    Report report;
    report.addRow(QStringLiteral("start-up to the window shown"), startup, -1);
    report.addRow(QStringLiteral("connect: click to serial number shown"), connect,
                  longestStall(connects));
    report.addRow(QStringLiteral("download of %L1 records (%2), full pty speed")
                      .arg(kMegaRecords)
                      .arg(Report::megabytes(value(mega, "fileBytes"))),
                  mega, longestStall(megas));
    report.addRow(QStringLiteral("download of %L1 records (%2), full pty speed")
                      .arg(2 * kMegaRecords)
                      .arg(Report::megabytes(value(twoMega, "fileBytes"))),
                  twoMega, longestStall(twoMegas));
    report.addRow(QStringLiteral("download paced at the wire rate, first %1 s").arg(kPacedSeconds),
                  pace, longestStall(paced));
    report.addRow(QStringLiteral("upload of %L1 selections, prompt handheld").arg(kSelections),
                  upload, -1);

    // Download at the wire rate: the tool beside a serial terminal, both on an X server.
    if (!ok(pace))
        report.addTarget(false, QStringLiteral("download at the wire rate: the run failed"));
    if (!parser.isSet(noTerminal)) {
        std::fprintf(stderr, "beside cutecom under Xvfb ");
        compareWithTerminal(children, qMax(1, parser.value(roundsOption).toInt()), &report);
        std::fprintf(stderr, "\n");
    }
    // Download at full speed: CPU, wall, instructions, growth, memory.
    if (ok(mega)) {
        report.addTarget(
            value(mega, "cpuUs") <= kDownloadCpuUs,
            QStringLiteral("download of 1 MB: %1 of CPU time (at most %2)")
                .arg(Report::duration(value(mega, "cpuUs")), Report::duration(kDownloadCpuUs)));
        report.addTarget(
            value(mega, "wallUs") <= kDownloadWallUs,
            QStringLiteral("download of 1 MB: %1 of wall time (at most %2)")
                .arg(Report::duration(value(mega, "wallUs")), Report::duration(kDownloadWallUs)));
        const qint64 peak = value(mega, "peakKb") * 1024;
        report.addTarget(peak < kPeakBytes,
                         QStringLiteral("download of 1 MB: peak memory %1 (under %2)")
                             .arg(Report::megabytes(peak), Report::megabytes(kPeakBytes)));
    } else {
        report.addTarget(false, QStringLiteral("download of 1 MB: the run failed"));
    }
    if (instructions >= 0)
        report.addTarget(instructions <= kDownloadInstructions,
                         QStringLiteral("download of 1 MB under callgrind: %L1 instructions (at "
                                        "most %L2)")
                             .arg(instructions)
                             .arg(kDownloadInstructions));
    else if (!parser.isSet(noCallgrind))
        report.addTarget(
            false, QStringLiteral("download of 1 MB under callgrind: %1").arg(callgrindError));
    // Growth: counted in instructions, which repeat; the CPU times are shown beside them.
    if (ok(mega) && ok(twoMega) && instructions > 0 && twoMegaInstructions > 0) {
        const double growth = double(twoMegaInstructions) / double(instructions);
        const double cpuGrowth = double(value(twoMega, "cpuUs")) / double(value(mega, "cpuUs"));
        report.addTarget(growth <= kGrowth,
                         QStringLiteral("growth: 2 MB take %1 times the instructions of 1 MB "
                                        "(%L2), %3 times its CPU time (at most %4)")
                             .arg(growth, 0, 'f', 2)
                             .arg(twoMegaInstructions)
                             .arg(cpuGrowth, 0, 'f', 2)
                             .arg(kGrowth, 0, 'f', 1));
    } else if (ok(mega) && ok(twoMega) && parser.isSet(noCallgrind)) {
        const double cpuGrowth = double(value(twoMega, "cpuUs")) / double(value(mega, "cpuUs"));
        report.addTarget(cpuGrowth <= kGrowth,
                         QStringLiteral("growth: 2 MB take %1 times the CPU time of 1 MB (at most "
                                        "%2)")
                             .arg(cpuGrowth, 0, 'f', 2)
                             .arg(kGrowth, 0, 'f', 1));
    } else {
        report.addTarget(false, QStringLiteral("growth: a download failed"));
    }
    // Stalls: connect, downloads.
    qint64 stall = -1;
    bool measuredAll = true;
    for (const QList<QJsonObject>* list : {&connects, &megas, &twoMegas, &paced}) {
        for (const QJsonObject& run : *list)
            measuredAll = measuredAll && ok(run);
        stall = qMax(stall, longestStall(*list));
    }
    report.addTarget(measuredAll && stall <= kStallUs,
                     QStringLiteral("the window never stalls more than %1 beyond the prescribed "
                                    "pauses (at most %2), connecting and downloading")
                         .arg(Report::duration(stall), Report::duration(kStallUs)));
    // Connect.
    if (ok(connect)) {
        const qint64 overrun = value(connect, "pausedUs") - value(connect, "pausesMs") * 1000;
        report.addTarget(beyondPauses(connect) <= kConnectBeyondUs,
                         QStringLiteral("connect: %1 beyond the %2 of prescribed pauses, %3 of it "
                                        "the system's sleeps overrunning them (at most %4)")
                             .arg(Report::duration(beyondPauses(connect)),
                                  Report::duration(value(connect, "pausesMs") * 1000),
                                  Report::duration(overrun), Report::duration(kConnectBeyondUs)));
    } else {
        report.addTarget(false, QStringLiteral("connect: the run failed"));
    }
    // Upload.
    if (ok(upload)) {
        const qint64 allowed = kUploadFactor * (Report::wireUs(value(upload, "wireBytes")) +
                                                value(upload, "pausesMs") * 1000);
        report.addTarget(value(upload, "wallUs") <= allowed,
                         QStringLiteral("upload: %1, within %2 times the wire time plus the %3 of "
                                        "5 ms pauses, %4")
                             .arg(Report::duration(value(upload, "wallUs")))
                             .arg(kUploadFactor)
                             .arg(Report::duration(value(upload, "pausesMs") * 1000),
                                  Report::duration(allowed)));
    } else {
        report.addTarget(false, QStringLiteral("upload: the run failed"));
    }
    // Start-up.
    if (ok(startup))
        report.addTarget(
            value(startup, "wallUs") < kStartupUs,
            QStringLiteral("start-up to the window shown: %1 (under %2)")
                .arg(Report::duration(value(startup, "wallUs")), Report::duration(kStartupUs)));
    else
        report.addTarget(false, QStringLiteral("start-up: the run failed"));

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
