// quorvelino-sim: a simulated handheld reader on a pseudo-terminal.
//
// Prints the slave device (such as /dev/pts/5) as the first line on stdout; the tool opens that
// device as its serial port. Runs until SIGTERM or SIGINT, until --unplug-after is reached, or,
// with --exit-on-stdin-eof, until stdin ends.

#include "sim/DeviceModel.h"
#include "sim/PtyDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Written by the signal handler, read by the event loop.
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT end the event loop, so the program can write its dump and remove its link.
bool quitOnSignals(QCoreApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0)
        return false;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] { app.quit(); });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 &&
           ::sigaction(SIGINT, &action, nullptr) == 0;
}

void quitOnStdinEnd(QCoreApplication& app) {
    auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier] {
        char buffer[1024];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
            notifier->setEnabled(false);
            app.quit();
        }
    });
}

std::optional<qint64> count(const QCommandLineParser& parser, const QString& name,
                            qint64 fallback) {
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const qint64 value = parser.value(name).toLongLong(&ok);
    if (!ok || value < 0 || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return value;
}

void fatal(const QString& message) {
    std::fprintf(stderr, "quorvelino-sim: %s\n", qPrintable(message));
}

// Replaces an existing symbolic link at path, never a file or a directory. Returns why it
// failed, or an empty text.
QString makeLink(const QString& path, const QString& target) {
    const QFileInfo existing(path);
    if (!existing.isSymLink() && existing.exists())
        return QStringLiteral("%1 exists and is not a symbolic link").arg(path);
    if (existing.isSymLink() && !QFile::remove(path))
        return QStringLiteral("cannot replace the link %1").arg(path);
    if (!QFile::link(target, path))
        return QStringLiteral("cannot create the link %1").arg(path);
    return QString();
}

void removeLink(const QString& path, const QString& target) {
    const QFileInfo link(path);
    if (link.isSymLink() && link.symLinkTarget() == target)
        QFile::remove(path);
}

bool writeLines(const QString& path, const QList<QByteArray>& lines) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + '\n';
    return file.write(text) == text.size();
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvelino-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated handheld reader on a pseudo-terminal. Prints the device to "
                       "open as the first line on stdout."));
    parser.addHelpOption();
    const QString records = QStringLiteral("records");
    const QString capacity = QStringLiteral("capacity");
    const QString customCodes = QStringLiteral("custom-codes");
    const QString latency = QStringLiteral("latency");
    const QString wire = QStringLiteral("wire");
    const QString split = QStringLiteral("split");
    const QString splitEvery = QStringLiteral("split-every");
    const QString silent = QStringLiteral("silent");
    const QString garbage = QStringLiteral("garbage");
    const QString flood = QStringLiteral("flood");
    const QString unplugAfter = QStringLiteral("unplug-after");
    const QString link = QStringLiteral("link");
    const QString dump = QStringLiteral("dump");
    const QString commands = QStringLiteral("commands");
    const QString ignore = QStringLiteral("ignore");
    const QString fail = QStringLiteral("fail");
    const QString stdinEof = QStringLiteral("exit-on-stdin-eof");
    const QString trickle = QStringLiteral("trickle");
    const QString echo = QStringLiteral("echo");
    const QString lateLine = QStringLiteral("late-line");
    const QString interleave = QStringLiteral("interleave");
    const QString pauseEvery = QStringLiteral("pause-every");
    const QString pauseMs = QStringLiteral("pause-ms");
    const QString seed = QStringLiteral("seed");
    parser.addOptions({
        {records, QStringLiteral("Captured records held at start (default 10)."),
         QStringLiteral("N")},
        {capacity,
         QStringLiteral("Selections the memory holds before \"Memory full\" (default 100)."),
         QStringLiteral("N")},
        {customCodes, QStringLiteral("Custom codes reported by \"STA\" (default 0)."),
         QStringLiteral("N")},
        {latency, QStringLiteral("Delay in ms between a command and its reply (default 0)."),
         QStringLiteral("MS")},
        {wire, QStringLiteral("Pace replies at 38400 baud 8N1 (about 260 us per byte), in pieces "
                              "of 32 bytes.")},
        {split, QStringLiteral("Write each reply line in two writes a few ms apart, cut at a "
                               "varying position.")},
        {splitEvery, QStringLiteral("Write every reply byte by byte, about 1 ms apart.")},
        {silent, QStringLiteral("Read every command and answer nothing.")},
        {garbage, QStringLiteral("Follow every answer with a line of random bytes (NUL, 8-bit "
                                 "bytes, lone CRs and LFs among them).")},
        {flood,
         QStringLiteral("Answer \"READID\" with N bytes that hold no line end (every byte value "
                        "in turn) instead of an identification."),
         QStringLiteral("N")},
        {unplugAfter,
         QStringLiteral("After N bytes sent to the tool, close the device and exit, "
                        "as a pulled USB adapter does."),
         QStringLiteral("N")},
        {link,
         QStringLiteral("Also make PATH a symbolic link to the device (an existing link is "
                        "replaced); removed at exit."),
         QStringLiteral("PATH")},
        {dump, QStringLiteral("At exit write the stored selections to FILE, one per line."),
         QStringLiteral("FILE")},
        {commands,
         QStringLiteral("At exit write every command line received to FILE, one per line."),
         QStringLiteral("FILE")},
        {ignore,
         QStringLiteral("Carry out the command line COMMAND (such as \"GET\", or \"CLOCK\" for "
                        "every line that begins with it) but never answer it; may be given "
                        "several times."),
         QStringLiteral("COMMAND")},
        {fail,
         QStringLiteral("Carry out the command line COMMAND (such as \"DEL E\") but answer it "
                        "\"Error\"; may be given several times."),
         QStringLiteral("COMMAND")},
        {stdinEof, QStringLiteral("Exit when stdin reaches end of file (default: ignore stdin).")},
        {trickle,
         QStringLiteral("Write every reply in random pieces of 1 to 8 bytes, up to MS ms apart."),
         QStringLiteral("MS")},
        {echo, QStringLiteral("Repeat each answered command as a line before its reply.")},
        {lateLine,
         QStringLiteral("Send the line TEXT before every reply, as a late answer to something "
                        "earlier would come."),
         QStringLiteral("TEXT")},
        {interleave, QStringLiteral("Send answers to commands that come during a record transfer "
                                    "between two records, not behind the last one.")},
        {pauseEvery, QStringLiteral("Pause the records after every N records (with --pause-ms)."),
         QStringLiteral("N")},
        {pauseMs, QStringLiteral("How long the records pause (default 0)."), QStringLiteral("MS")},
        {seed, QStringLiteral("Seed of the random pieces and gaps (default 1)."),
         QStringLiteral("N")},
    });
    parser.process(app);

    const std::optional<qint64> recordCount = count(parser, records, 10);
    const std::optional<qint64> capacityCount = count(parser, capacity, 100);
    const std::optional<qint64> codeCount = count(parser, customCodes, 0);
    const std::optional<qint64> latencyMs = count(parser, latency, 0);
    const std::optional<qint64> unplugBytes = count(parser, unplugAfter, -1);
    const std::optional<qint64> floodBytes = count(parser, flood, -1);
    const std::optional<qint64> trickleMs = count(parser, trickle, -1);
    const std::optional<qint64> pauseCount = count(parser, pauseEvery, 0);
    const std::optional<qint64> pauseLength = count(parser, pauseMs, 0);
    const std::optional<qint64> seedValue = count(parser, seed, 1);
    if (!recordCount || !capacityCount || !codeCount || !latencyMs || !unplugBytes || !floodBytes ||
        !trickleMs || !pauseCount || !pauseLength || !seedValue) {
        fatal(QStringLiteral("--records, --capacity, --custom-codes, --latency, --flood, "
                             "--unplug-after, --trickle, --pause-every, --pause-ms and --seed take "
                             "a whole number of 0 or more"));
        return 2;
    }

    DeviceModel::Options modelOptions;
    modelOptions.records = static_cast<int>(*recordCount);
    modelOptions.capacity = static_cast<int>(*capacityCount);
    modelOptions.customCodes = static_cast<int>(*codeCount);
    DeviceModel model(modelOptions);

    PtyDevice::Options deviceOptions;
    deviceOptions.latencyMs = static_cast<int>(*latencyMs);
    deviceOptions.wire = parser.isSet(wire);
    deviceOptions.split = parser.isSet(split);
    deviceOptions.splitEvery = parser.isSet(splitEvery);
    deviceOptions.silent = parser.isSet(silent);
    deviceOptions.garbage = parser.isSet(garbage);
    deviceOptions.flood = *floodBytes;
    deviceOptions.unplugAfter = *unplugBytes;
    deviceOptions.trickleMs = static_cast<int>(*trickleMs);
    deviceOptions.echo = parser.isSet(echo);
    deviceOptions.lateLine = parser.value(lateLine).toLatin1();
    deviceOptions.interleave = parser.isSet(interleave);
    deviceOptions.pauseEvery = static_cast<int>(*pauseCount);
    deviceOptions.pauseMs = static_cast<int>(*pauseLength);
    deviceOptions.seed = static_cast<quint32>(*seedValue);
    for (const QString& command : parser.values(ignore))
        deviceOptions.ignored.append(command.toLatin1());
    for (const QString& command : parser.values(fail))
        deviceOptions.failed.append(command.toLatin1());
    PtyDevice device(model, deviceOptions);
    if (!device.open()) {
        fatal(device.errorString());
        return 1;
    }
    if (!quitOnSignals(app)) {
        fatal(QStringLiteral("cannot handle SIGTERM and SIGINT"));
        return 1;
    }
    const QString linkPath = parser.value(link);
    if (!linkPath.isEmpty()) {
        if (const QString why = makeLink(linkPath, device.slavePath()); !why.isEmpty()) {
            fatal(why);
            return 1;
        }
    }
    if (parser.isSet(stdinEof))
        quitOnStdinEnd(app);
    QObject::connect(&device, &PtyDevice::unplugged, &app, [&app] { app.quit(); });

    std::printf("%s\n", qPrintable(device.slavePath()));
    std::fflush(stdout);

    const int code = app.exec();

    device.readWaiting();
    device.unplug();
    if (!linkPath.isEmpty())
        removeLink(linkPath, device.slavePath());
    const QString dumpPath = parser.value(dump);
    if (!dumpPath.isEmpty() && !writeLines(dumpPath, model.selections())) {
        fatal(QStringLiteral("cannot write %1").arg(dumpPath));
        return 1;
    }
    const QString commandsPath = parser.value(commands);
    if (!commandsPath.isEmpty() && !writeLines(commandsPath, model.commands())) {
        fatal(QStringLiteral("cannot write %1").arg(commandsPath));
        return 1;
    }
    return code;
}
