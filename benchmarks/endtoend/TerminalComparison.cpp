#include "benchmarks/endtoend/TerminalComparison.h"

#include "benchmarks/endtoend/ChildRuns.h"
#include "benchmarks/endtoend/Report.h"
#include "benchmarks/endtoend/Terminal.h"
#include "benchmarks/endtoend/VirtualDisplay.h"

#include <QJsonObject>
#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// The targets.
constexpr double kToolToTerminal = 0.6;
constexpr double kServerToTerminal = 1.0;

qint64 value(const QJsonObject& result, const char* key) {
    return result.value(QLatin1String(key)).toInteger();
}

bool ok(const QJsonObject& result) {
    return result.value(QLatin1String("ok")).toBool();
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

// Runs round 0 and the rounds, each program's costs appended from round 1 on; the reason when a
// run failed, else an empty text.
QString runRounds(ChildRuns& children, const VirtualDisplay& display, int rounds, QList<Cost>* tool,
                  QList<Cost>* terminal) {
    // Round 0 warms up the X server (its fonts and glyph caches, the first windows it maps) and
    // the disk caches of both programs; it is not counted.
    for (int round = 0; round <= rounds; ++round) {
        const QJsonObject toolRun =
            children.runOnDisplay(display.name(), QStringLiteral("paced-x"),
                                  {QStringLiteral("--xserver"), QString::number(display.pid())});
        std::fprintf(stderr, ".");
        const QJsonObject terminalRun =
            Terminal::measure(display, QStringLiteral(QV_MODEM_LINES), TerminalComparison::kIdleMs,
                              TerminalComparison::kBusyMs);
        std::fprintf(stderr, ".");
        const std::optional<Cost> toolCost = costOf(toolRun);
        const std::optional<Cost> terminalCost = costOf(terminalRun);
        if (!toolCost)
            return QStringLiteral("the tool's run failed: ") +
                   toolRun.value(QLatin1String("error")).toString();
        if (!terminalCost)
            return QStringLiteral("cutecom's run failed: ") +
                   terminalRun.value(QLatin1String("error")).toString();
        if (round > 0) {
            *tool << *toolCost;
            *terminal << *terminalCost;
        }
    }
    return QString();
}

// One row of the table: the medians of a program's costs.
QString costRow(const QString& name, const QList<Cost>& costs) {
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
}

void addTargets(const QList<Cost>& tool, const QList<Cost>& terminal, Report* report) {
    QList<double> programRatios;
    QList<double> serverRatios;
    for (qsizetype i = 0; i < tool.size(); ++i) {
        programRatios << tool.at(i).program / terminal.at(i).program;
        serverRatios << tool.at(i).server / terminal.at(i).server;
    }
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

} // namespace

namespace TerminalComparison {

void compare(ChildRuns& children, int rounds, Report* report) {
    VirtualDisplay display;
    QList<Cost> tool;
    QList<Cost> terminal;
    QString failure = display.error();
    if (failure.isEmpty())
        failure = runRounds(children, display, rounds, &tool, &terminal);
    if (!failure.isEmpty()) {
        report->addTarget(false, QStringLiteral("beside cutecom under Xvfb: %1").arg(failure));
        return;
    }
    report->addSection(
        QStringLiteral(
            "Beside a serial terminal, each under Xvfb (the X11 platform), receiving the "
            "same records at the wire rate for %1 s, taking turns, %2 rounds; medians, "
            "CPU seconds per MiB received with each process's idle rate taken off:\n\n"
            "| program | program CPU-s per MiB (% of the time) | X server CPU-s per "
            "MiB | together |\n|---|--:|--:|--:|\n")
            .arg(kBusyMs / 1000)
            .arg(rounds) +
        costRow(QStringLiteral("this tool (download into a CSV file, log shown)"), tool) +
        costRow(QStringLiteral("cutecom (Qt 5 text view)"), terminal));
    addTargets(tool, terminal, report);
}

} // namespace TerminalComparison
