#include "benchmarks/endtoend/TerminalComparison.h"

#include "benchmarks/endtoend/ChildRuns.h"
#include "benchmarks/endtoend/Report.h"
#include "benchmarks/endtoend/Terminal.h"
#include "benchmarks/endtoend/VirtualDisplay.h"

#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// The targets.
constexpr double kTogetherToTerminal = 0.5;
constexpr double kToolPerMiB = 2.73; // 1 % of a core at 3840 bytes a second

// Time enough for a whole download of the largest size on the line.
constexpr int kWholeMs = 300000;

qint64 value(const QJsonObject& result, const char* key) {
    return result.value(QLatin1String(key)).toInteger();
}

// What a program cost over the whole span of a transfer, its idle rate taken off: CPU seconds
// per MiB received, its own and the X server's, its own as a share of the time, the X server's
// page faults and how the program sent its pixels.
struct Cost {
    double program = 0;
    double server = 0;
    double share = 0;
    qint64 faults = 0;
    QString transport;
    double together() const { return program + server; }
};

std::optional<Cost> costOf(const QJsonObject& run) {
    if (!run.value(QLatin1String("ok")).toBool() || value(run, "idleNs") <= 0 ||
        value(run, "bytes") <= 0)
        return std::nullopt;
    const double busy = double(value(run, "busyNs"));
    const double scale = busy / double(value(run, "idleNs"));
    const double mebibytes = double(value(run, "bytes")) / (1024.0 * 1024.0);
    const double program =
        double(value(run, "cpuBusyNs")) - double(value(run, "cpuIdleNs")) * scale;
    const double server = double(value(run, "xBusyNs")) - double(value(run, "xIdleNs")) * scale;
    return Cost{program / 1e9 / mebibytes, server / 1e9 / mebibytes, program / busy,
                value(run, "xFaults"), run.value(QLatin1String("transport")).toString()};
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

// One download on one kind of X server, and what each round of it cost each program.
struct Setting {
    int records;
    int limitMs;
    bool fresh; // a just-started X server for each run, else the primed one
    QList<Cost> tool;
    QList<Cost> terminal;

    QString name() const {
        const QString download =
            limitMs < kWholeMs
                ? QStringLiteral("first %1 s of %L2 records").arg(limitMs / 1000).arg(records)
                : QStringLiteral("%L1 records").arg(records);
        return download + (fresh ? QStringLiteral(", X server just started")
                                 : QStringLiteral(", primed X server"));
    }
};

// Runs the tool, then cutecom (the other way round every second round), each on the setting's
// X server; appends their costs, or gives the reason a run failed.
QString runPair(ChildRuns& children, VirtualDisplay& primed, int round, Setting& setting) {
    std::optional<Cost> tool;
    std::optional<Cost> terminal;
    QString failure;
    for (int turn = 0; turn < 2 && failure.isEmpty(); ++turn) {
        const std::unique_ptr<VirtualDisplay> fresh =
            setting.fresh ? std::make_unique<VirtualDisplay>() : nullptr;
        const VirtualDisplay& display = fresh ? *fresh : primed;
        if (!display.error().isEmpty())
            return display.error();
        if ((turn + round) % 2 == 0) {
            const QJsonObject run = children.runOnDisplay(
                display.name(), QStringLiteral("paced-x"),
                {QStringLiteral("--xserver"), QString::number(display.pid()),
                 QStringLiteral("--records"), QString::number(setting.records),
                 QStringLiteral("--limit"), QString::number(setting.limitMs)});
            tool = costOf(run);
            if (!tool)
                failure = QStringLiteral("the tool's run failed: ") +
                          run.value(QLatin1String("error")).toString();
        } else {
            const QJsonObject run = Terminal::measure(
                display, QStringLiteral(QV_MODEM_LINES), TerminalComparison::kWindowSize,
                TerminalComparison::kIdleMs, setting.records, setting.limitMs);
            terminal = costOf(run);
            if (!terminal)
                failure = QStringLiteral("cutecom's run failed: ") +
                          run.value(QLatin1String("error")).toString();
        }
        std::fprintf(stderr, ".");
    }
    if (failure.isEmpty()) {
        setting.tool << *tool;
        setting.terminal << *terminal;
    }
    return failure;
}

// The rows of a program's costs in a setting: the medians.
QString costRow(const QString& name, const QList<Cost>& costs) {
    QList<double> program;
    QList<double> server;
    QList<double> share;
    QList<double> together;
    QList<double> faults;
    for (const Cost& cost : costs) {
        program << cost.program;
        server << cost.server;
        share << cost.share;
        together << cost.together();
        faults << double(cost.faults);
    }
    return QStringLiteral("| %1 | %2 (%3 %) | %4 | %5 | %L6 | %7 |\n")
        .arg(name)
        .arg(medianOf(program), 0, 'f', 2)
        .arg(medianOf(share) * 100, 0, 'f', 2)
        .arg(medianOf(server), 0, 'f', 2)
        .arg(medianOf(together), 0, 'f', 2)
        .arg(qint64(medianOf(faults)))
        .arg(costs.isEmpty() ? QString() : costs.first().transport);
}

void addTargets(const Setting& setting, Report* report) {
    QList<double> ratios;
    QList<double> tool;
    for (qsizetype i = 0; i < setting.tool.size(); ++i) {
        ratios << setting.tool.at(i).together() / setting.terminal.at(i).together();
        tool << setting.tool.at(i).program;
    }
    report->addTarget(medianOf(ratios) <= kTogetherToTerminal,
                      QStringLiteral("%1: the tool and its X server take %2 times the CPU time "
                                     "of cutecom and its X server (median of the rounds %3; at "
                                     "most %4)")
                          .arg(setting.name())
                          .arg(medianOf(ratios), 0, 'f', 2)
                          .arg(numbers(ratios))
                          .arg(kTogetherToTerminal, 0, 'f', 1));
    report->addTarget(medianOf(tool) <= kToolPerMiB,
                      QStringLiteral("%1: the tool alone takes %2 CPU-s per MiB (rounds %3; at "
                                     "most %4, 1 % of a core at the wire rate)")
                          .arg(setting.name())
                          .arg(medianOf(tool), 0, 'f', 2)
                          .arg(numbers(tool))
                          .arg(kToolPerMiB, 0, 'f', 2));
}

} // namespace

namespace TerminalComparison {

void compare(ChildRuns& children, int rounds, bool wholeLarge, Report* report) {
    const int largeMs = wholeLarge ? kWholeMs : kLargeMs;
    QList<Setting> settings{{kSmallRecords, kWholeMs, false, {}, {}},
                            {kSmallRecords, kWholeMs, true, {}, {}},
                            {kLargeRecords, largeMs, false, {}, {}},
                            {kLargeRecords, largeMs, true, {}, {}}};
    VirtualDisplay primed;
    QString failure = primed.error();
    if (failure.isEmpty())
        failure = children.prime(primed.name());
    for (int round = 0; round < rounds && failure.isEmpty(); ++round) {
        for (Setting& setting : settings) {
            failure = runPair(children, primed, round, setting);
            if (!failure.isEmpty())
                break;
        }
    }
    if (!failure.isEmpty()) {
        report->addTarget(false, QStringLiteral("beside cutecom under Xvfb: %1").arg(failure));
        return;
    }
    QString table =
        QStringLiteral("Beside a serial terminal under Xvfb (the X11 platform), windows of "
                       "%1x%2, receiving the same records at the wire rate, taking turns, %3 "
                       "rounds; medians over the whole span from the start of the transfer to "
                       "its settled end, CPU seconds per MiB received with each process's idle "
                       "rate taken off:\n\n"
                       "| download, program | program CPU-s per MiB (% of a core) | X server "
                       "CPU-s per MiB | together | X server page faults | image transport "
                       "|\n|---|--:|--:|--:|--:|---|\n")
            .arg(kWindowSize.width())
            .arg(kWindowSize.height())
            .arg(rounds);
    for (const Setting& setting : settings)
        table += costRow(setting.name() + QStringLiteral(": this tool"), setting.tool) +
                 costRow(setting.name() + QStringLiteral(": cutecom"), setting.terminal);
    report->addSection(table);
    for (const Setting& setting : settings)
        addTargets(setting, report);
}

} // namespace TerminalComparison
