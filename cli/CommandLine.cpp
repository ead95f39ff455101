#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

struct Known {
    const char* word;
    CommandLine::Command command;
    int arguments;
};

constexpr Known kCommands[] = {
    {"ports", CommandLine::Command::Ports, 0},
    {"status", CommandLine::Command::Status, 0},
    {"download", CommandLine::Command::Download, 1},
    {"upload", CommandLine::Command::Upload, 1},
    {"erase", CommandLine::Command::Erase, 1},
    {"stats", CommandLine::Command::Stats, 0},
    {"set-time", CommandLine::Command::SetTime, 0},
    {"config", CommandLine::Command::ConfigApply, 2},
};

} // namespace

bool CommandLine::readPort(const QString& value, const QString& source, Request* request,
                           QString* error) {
    static const QRegularExpression kCom(QStringLiteral("^COM([0-9]{1,5})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch com = kCom.match(value);
#ifdef Q_OS_WIN
    // Windows numbers its COM ports up to 256; one beyond the window's list is mapped to a free
    // number of it, as a device path is elsewhere.
    if (com.hasMatch()) {
        const int number = com.captured(1).toInt();
        if (number >= 1 && number <= kComNumbers) {
            request->comNumber = number;
            return true;
        }
        if (number > kComNumbers && number <= kWindowsComNumbers) {
            request->device = QStringLiteral("COM%1").arg(number);
            return true;
        }
    }
    *error = QStringLiteral("%1 takes COM1 to COM%2, not \"%3\".")
                 .arg(source)
                 .arg(kWindowsComNumbers)
                 .arg(value);
    return false;
#else
    if (com.hasMatch()) {
        const int number = com.captured(1).toInt();
        if (number >= 1 && number <= kComNumbers) {
            request->comNumber = number;
            return true;
        }
    } else if (value.contains(QLatin1Char('/'))) {
        request->device = value;
        return true;
    } else if (!value.isEmpty()) {
        request->device = QStringLiteral("/dev/") + value; // a bare name, as ls /dev shows it
        return true;
    }
    *error = QStringLiteral("%1 takes COM1 to COM%2, the path of a serial device such as "
                            "/dev/ttyUSB0 or its name ttyUSB0, not \"%3\".")
                 .arg(source)
                 .arg(kComNumbers)
                 .arg(value);
    return false;
#endif
}

namespace {

bool readTimeout(const QString& value, CommandLine::Request* request, QString* error) {
    bool whole = false;
    const int seconds = value.toInt(&whole);
    if (whole && seconds >= 1 && seconds <= CommandLine::kMaxTimeoutSeconds) {
        request->timeoutSeconds = seconds;
        return true;
    }
    *error = QStringLiteral("--timeout takes a whole number of seconds from 1 to %1, not \"%2\".")
                 .arg(CommandLine::kMaxTimeoutSeconds)
                 .arg(value);
    return false;
}

const QString kConfigUsage =
    QStringLiteral("config takes apply and a profile: config apply FILE (- for standard input).");

} // namespace

bool CommandLine::parse(const QStringList& arguments, Request* request, QString* error) {
    QCommandLineParser parser;
    const QCommandLineOption port(QStringList{QStringLiteral("p"), QStringLiteral("port")},
                                  QString(), QStringLiteral("PORT"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption quiet(QStringList{QStringLiteral("q"), QStringLiteral("quiet")});
    const QCommandLineOption yes(QStringList{QStringLiteral("y"), QStringLiteral("yes")});
    const QCommandLineOption verbose(QStringList{QStringLiteral("v"), QStringLiteral("verbose")});
    const QCommandLineOption timeout(QStringLiteral("timeout"), QString(),
                                     QStringLiteral("SECONDS"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    parser.addOptions({port, json, quiet, yes, verbose, timeout, help, version});
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // The parser expects the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("quorvelino-cli")} + arguments)) {
        *error = parser.errorText();
        return false;
    }

    *request = Request();
    if (parser.isSet(help) || parser.isSet(version)) {
        request->command = parser.isSet(help) ? Command::Help : Command::Version;
        return true;
    }
    request->json = parser.isSet(json);
    request->quiet = parser.isSet(quiet);
    request->yes = parser.isSet(yes);
    request->verbose = parser.isSet(verbose);
    if (parser.isSet(port) &&
        !readPort(parser.value(port), QStringLiteral("--port"), request, error))
        return false;
    if (parser.isSet(timeout) && !readTimeout(parser.value(timeout), request, error))
        return false;
    return readCommand(parser.positionalArguments(), request, error);
}

bool CommandLine::readCommand(QStringList words, Request* request, QString* error) {
    if (words.isEmpty()) {
        *error = QStringLiteral("No command given.");
        return false;
    }
    const QString word = words.takeFirst();
    const Known* known = nullptr;
    for (const Known& each : kCommands) {
        if (word == QLatin1String(each.word))
            known = &each;
    }
    if (!known) {
        *error = QStringLiteral("Unknown command \"%1\".").arg(word);
        return false;
    }
    request->command = known->command;
    if (words.size() != known->arguments) {
        switch (known->command) {
        case Command::Download:
        case Command::Upload:
            *error = QStringLiteral("%1 takes one file name.").arg(word);
            break;
        case Command::Erase:
            *error = QStringLiteral("erase takes what to erase: records or selections.");
            break;
        case Command::ConfigApply:
            *error = kConfigUsage;
            break;
        default:
            *error = QStringLiteral("%1 takes no arguments, not \"%2\".")
                         .arg(word, words.join(QLatin1Char(' ')));
            break;
        }
        return false;
    }
    if (known->command == Command::ConfigApply && words.takeFirst() != QLatin1String("apply")) {
        *error = kConfigUsage;
        return false;
    }
    return words.isEmpty() || readArgument(word, words.first(), request, error);
}

bool CommandLine::readArgument(const QString& word, const QString& argument, Request* request,
                               QString* error) {
    if (request->command != Command::Erase) {
        request->file = argument;
        if (request->command == Command::Download && argument == QLatin1String("-") &&
            request->json) {
            *error = QStringLiteral("download - writes the records to standard output, where "
                                    "--json would write its value too: give a file name, or "
                                    "leave out --json.");
            return false;
        }
        if (!request->file.isEmpty())
            return true;
        *error = QStringLiteral("%1 takes a file name, not an empty text.").arg(word);
        return false;
    }
    if (argument == QLatin1String("records")) {
        request->memory = Memory::Records;
    } else if (argument == QLatin1String("selections")) {
        request->memory = Memory::Selections;
    } else {
        *error = QStringLiteral("erase takes records or selections, not \"%1\".").arg(argument);
        return false;
    }
    if (!request->yes) {
        *error = QStringLiteral("erase %1 deletes all %1 in the handheld and cannot be undone; "
                                "nothing was erased. Give --yes to confirm.")
                     .arg(argument);
        return false;
    }
    return true;
}

namespace {

#ifdef Q_OS_WIN
const QString kPortOption = QStringLiteral(
    R"(  -p, --port PORT    COM1 to COM256, as Windows numbers the ports (see "ports").
                     Without it, the port in QUORVELINO_PORT, else the port chosen in
                     the window, as kept in the registry (HKEY_CURRENT_USER\Software\
                     Quorvelino\Quorvelino); else nothing is done (status 2).
)");
#else
const QString kPortOption = QStringLiteral(
    R"(  -p, --port PORT    COM1 to COM16 as the window numbers them, a device such as
                     /dev/ttyUSB0 or /dev/serial/by-id/..., or its name (ttyUSB0).
                     Without it, the port in QUORVELINO_PORT, else the port chosen in
                     the window, as kept in $XDG_CONFIG_HOME/Quorvelino/Quorvelino.ini
                     (~/.config/... by default); else nothing is done (status 2).
)");
#endif

} // namespace

QString CommandLine::helpText() {
    return QStringLiteral(
               R"(Usage: quorvelino-cli COMMAND [ARGUMENT] [OPTIONS]

The command-line front end of Quorvelino Tool: does the data work of the window from a shell,
a script, cron or a systemd timer, without a display. Each run connects to the handheld, does
its job and disconnects, also when it fails or is interrupted.

Commands:
  ports                     List COM1 to COM16 and the serial devices they stand for, with
                            their by-id links, USB ids, serial numbers and drivers.
  status                    Print the battery level, firmware version, serial number and every
                            setting of the handheld, one key=value line each.
  download FILE             Save every record of the handheld in the CSV file FILE, as the
                            window saves them. FILE is replaced only once every record has
                            arrived; the records of a download cut short are kept in
                            FILE.partial, and the message names it. Give - for standard output.
  upload FILE               Load the selections of the CSV file FILE into the handheld.
                            Give - for standard input.
  erase records|selections  Erase all records, or all selections, in the handheld (needs --yes).
  stats                     Print how many custom codes and records the handheld holds.
  set-time                  Set the handheld's clock to this computer's local time.
  config apply FILE         Write the settings of the profile FILE (- for standard input), the
                            JSON object that status --json prints, as the window's buttons do,
                            and read them back; names every setting the handheld did not take.

Options:
)") + kPortOption +
           QStringLiteral(
               R"(  --json             Print one JSON value on standard output instead, also for a failure:
                     {"error": "...", "exit_code": N}.
  -q, --quiet        Print no progress and no message but failures.
  -y, --yes          Confirm an erase.
  -v, --verbose      Print every line sent to and received from the handheld on standard
                     error, after the seconds since the start ("  0.412 > ONLINE").
  --timeout SECONDS  Stop the run after SECONDS, however far it has come.
  -h, --help         Print this text.
  --version          Print the version.

Examples:
  quorvelino-cli ports
  quorvelino-cli status --port COM1
  quorvelino-cli status --json --port /dev/ttyUSB0
  quorvelino-cli download records-$(date +%F).csv --port COM1
  quorvelino-cli upload selections.csv --port COM1
  quorvelino-cli download - --port COM1 | gzip > records.csv.gz
  quorvelino-cli erase records --yes --port COM1
  quorvelino-cli stats --port COM1
  quorvelino-cli set-time --port COM1
  quorvelino-cli status --json -p /dev/serial/by-id/usb-First... > profile.json
  quorvelino-cli config apply profile.json -p /dev/serial/by-id/usb-Second...

Progress goes to standard error when it is a terminal; messages go to standard error, one line
each; the values of ports, status, stats and set-time, and with --json the one JSON value of
every command, go to standard output.

Exit status:
  0    success
  1    another failure, such as an answer of the handheld that cannot be taken
  2    the command line is wrong, or no port is given or chosen (nothing was done)
  3    the port cannot be opened
  4    the handheld does not answer or keeps sending, or the connection was lost
  5    a download stopped short, or an upload was not stored completely
  6    a file cannot be read or written, or a profile is not valid (nothing was done)
  7    the --timeout limit ended the run
  8    the handheld answered an erase, the clock or a setting with an error instead of "Ok",
       or a setting read back differs from the profile
  130  Ctrl+C ended the run (143: SIGTERM, 129: SIGHUP)
)");
}
