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

// The options' names.
const QString kRecords = QStringLiteral("records");
const QString kCapacity = QStringLiteral("capacity");
const QString kCustomCodes = QStringLiteral("custom-codes");
const QString kLatency = QStringLiteral("latency");
const QString kWire = QStringLiteral("wire");
const QString kSplit = QStringLiteral("split");
const QString kSplitEvery = QStringLiteral("split-every");
const QString kSilent = QStringLiteral("silent");
const QString kGarbage = QStringLiteral("garbage");
const QString kFlood = QStringLiteral("flood");
const QString kUnplugAfter = QStringLiteral("unplug-after");
const QString kLink = QStringLiteral("link");
const QString kDump = QStringLiteral("dump");
const QString kCommands = QStringLiteral("commands");
const QString kIgnore = QStringLiteral("ignore");
const QString kFail = QStringLiteral("fail");
const QString kStdinEof = QStringLiteral("exit-on-stdin-eof");
const QString kTrickle = QStringLiteral("trickle");
const QString kEcho = QStringLiteral("echo");
const QString kLateLine = QStringLiteral("late-line");
const QString kInterleave = QStringLiteral("interleave");
const QString kPauseEvery = QStringLiteral("pause-every");
const QString kPauseMs = QStringLiteral("pause-ms");
const QString kSeed = QStringLiteral("seed");

void declareOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("A simulated handheld reader on a pseudo-terminal. Prints the device to "
                       "open as the first line on stdout."));
    parser.addHelpOption();
    parser.addOptions({
        {kRecords, QStringLiteral("Captured records held at start (default 10)."),
         QStringLiteral("N")},
        {kCapacity,
         QStringLiteral("Selections the memory holds before \"Memory full\" (default 100)."),
         QStringLiteral("N")},
        {kCustomCodes, QStringLiteral("Custom codes reported by \"STA\" (default 0)."),
         QStringLiteral("N")},
        {kLatency, QStringLiteral("Delay in ms between a command and its reply (default 0)."),
         QStringLiteral("MS")},
        {kWire, QStringLiteral("Pace replies at 38400 baud 8N1 (about 260 us per byte), in pieces "
                               "of 32 bytes.")},
        {kSplit, QStringLiteral("Write each reply line in two writes a few ms apart, cut at a "
                                "varying position.")},
        {kSplitEvery, QStringLiteral("Write every reply byte by byte, about 1 ms apart.")},
        {kSilent, QStringLiteral("Read every command and answer nothing.")},
        {kGarbage, QStringLiteral("Follow every answer with a line of random bytes (NUL, 8-bit "
                                  "bytes, lone CRs and LFs among them).")},
        {kFlood,
         QStringLiteral("Answer \"READID\" with N bytes that hold no line end (every byte value "
                        "in turn) instead of an identification."),
         QStringLiteral("N")},
        {kUnplugAfter,
         QStringLiteral("After N bytes sent to the tool, close the device and exit, "
                        "as a pulled USB adapter does."),
         QStringLiteral("N")},
        {kLink,
         QStringLiteral("Also make PATH a symbolic link to the device (an existing link is "
                        "replaced); removed at exit."),
         QStringLiteral("PATH")},
        {kDump, QStringLiteral("At exit write the stored selections to FILE, one per line."),
         QStringLiteral("FILE")},
        {kCommands,
         QStringLiteral("At exit write every command line received to FILE, one per line."),
         QStringLiteral("FILE")},
        {kIgnore,
         QStringLiteral("Carry out the command line COMMAND (such as \"GET\", or \"CLOCK\" for "
                        "every line that begins with it) but never answer it; may be given "
                        "several times."),
         QStringLiteral("COMMAND")},
        {kFail,
         QStringLiteral("Carry out the command line COMMAND (such as \"DEL E\") but answer it "
                        "\"Error\"; may be given several times."),
         QStringLiteral("COMMAND")},
        {kStdinEof, QStringLiteral("Exit when stdin reaches end of file (default: ignore stdin).")},
        {kTrickle,
         QStringLiteral("Write every reply in random pieces of 1 to 8 bytes, up to MS ms apart."),
         QStringLiteral("MS")},
        {kEcho, QStringLiteral("Repeat each answered command as a line before its reply.")},
        {kLateLine,
         QStringLiteral("Send the line TEXT before every reply, as a late answer to something "
                        "earlier would come."),
         QStringLiteral("TEXT")},
        {kInterleave, QStringLiteral("Send answers to commands that come during a record transfer "
                                     "between two records, not behind the last one.")},
        {kPauseEvery, QStringLiteral("Pause the records after every N records (with --pause-ms)."),
         QStringLiteral("N")},
        {kPauseMs, QStringLiteral("How long the records pause (default 0)."), QStringLiteral("MS")},
        {kSeed, QStringLiteral("Seed of the random pieces and gaps (default 1)."),
         QStringLiteral("N")},
    });
}

// What the command line asks for.
struct Settings {
    DeviceModel::Options model;
    PtyDevice::Options device;
    QString linkPath;     // empty: no link
    QString dumpPath;     // empty: no dump
    QString commandsPath; // empty: the commands are not written
    bool exitOnStdinEof = false;
};

// The settings, or none when a number is not a whole number of 0 or more.
std::optional<Settings> readSettings(const QCommandLineParser& parser) {
    const std::optional<qint64> recordCount = count(parser, kRecords, 10);
    const std::optional<qint64> capacityCount = count(parser, kCapacity, 100);
    const std::optional<qint64> codeCount = count(parser, kCustomCodes, 0);
    const std::optional<qint64> latencyMs = count(parser, kLatency, 0);
    const std::optional<qint64> unplugBytes = count(parser, kUnplugAfter, -1);
    const std::optional<qint64> floodBytes = count(parser, kFlood, -1);
    const std::optional<qint64> trickleMs = count(parser, kTrickle, -1);
    const std::optional<qint64> pauseCount = count(parser, kPauseEvery, 0);
    const std::optional<qint64> pauseLength = count(parser, kPauseMs, 0);
    const std::optional<qint64> seedValue = count(parser, kSeed, 1);
    if (!recordCount || !capacityCount || !codeCount || !latencyMs || !unplugBytes || !floodBytes ||
        !trickleMs || !pauseCount || !pauseLength || !seedValue)
        return std::nullopt;

    Settings settings;
    settings.model.records = static_cast<int>(*recordCount);
    settings.model.capacity = static_cast<int>(*capacityCount);
    settings.model.customCodes = static_cast<int>(*codeCount);

    PtyDevice::Options& device = settings.device;
    device.latencyMs = static_cast<int>(*latencyMs);
    device.wire = parser.isSet(kWire);
    device.split = parser.isSet(kSplit);
    device.splitEvery = parser.isSet(kSplitEvery);
    device.silent = parser.isSet(kSilent);
    device.garbage = parser.isSet(kGarbage);
    device.flood = *floodBytes;
    device.unplugAfter = *unplugBytes;
    device.trickleMs = static_cast<int>(*trickleMs);
    device.echo = parser.isSet(kEcho);
    device.lateLine = parser.value(kLateLine).toLatin1();
    device.interleave = parser.isSet(kInterleave);
    device.pauseEvery = static_cast<int>(*pauseCount);
    device.pauseMs = static_cast<int>(*pauseLength);
    device.seed = static_cast<quint32>(*seedValue);
    for (const QString& command : parser.values(kIgnore))
        device.ignored.append(command.toLatin1());
    for (const QString& command : parser.values(kFail))
        device.failed.append(command.toLatin1());

    settings.linkPath = parser.value(kLink);
    settings.dumpPath = parser.value(kDump);
    settings.commandsPath = parser.value(kCommands);
    settings.exitOnStdinEof = parser.isSet(kStdinEof);
    return settings;
}

// Writes the files asked for at exit; false when one cannot be written, which was told.
bool writeFilesAtExit(const Settings& settings, const DeviceModel& model) {
    if (!settings.dumpPath.isEmpty() && !writeLines(settings.dumpPath, model.selections())) {
        fatal(QStringLiteral("cannot write %1").arg(settings.dumpPath));
        return false;
    }
    if (!settings.commandsPath.isEmpty() && !writeLines(settings.commandsPath, model.commands())) {
        fatal(QStringLiteral("cannot write %1").arg(settings.commandsPath));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvelino-sim"));

    QCommandLineParser parser;
    declareOptions(parser);
    parser.process(app);
    const std::optional<Settings> settings = readSettings(parser);
    if (!settings) {
        fatal(QStringLiteral("--records, --capacity, --custom-codes, --latency, --flood, "
                             "--unplug-after, --trickle, --pause-every, --pause-ms and --seed take "
                             "a whole number of 0 or more"));
        return 2;
    }

    DeviceModel model(settings->model);
    PtyDevice device(model, settings->device);
    if (!device.open()) {
        fatal(device.errorString());
        return 1;
    }
    if (!quitOnSignals(app)) {
        fatal(QStringLiteral("cannot handle SIGTERM and SIGINT"));
        return 1;
    }
    if (!settings->linkPath.isEmpty()) {
        if (const QString why = makeLink(settings->linkPath, device.slavePath()); !why.isEmpty()) {
            fatal(why);
            return 1;
        }
    }
    if (settings->exitOnStdinEof)
        quitOnStdinEnd(app);
    QObject::connect(&device, &PtyDevice::unplugged, &app, [&app] { app.quit(); });

    std::printf("%s\n", qPrintable(device.slavePath()));
    std::fflush(stdout);

    const int code = app.exec();

    device.readWaiting();
    device.unplug();
    if (!settings->linkPath.isEmpty())
        removeLink(settings->linkPath, device.slavePath());
    return writeFilesAtExit(*settings, model) ? code : 1;
}
