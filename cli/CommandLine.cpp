#include "cli/CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// The options, as --help lists them.
enum Option : unsigned {
    kPort = 1,
    kJson = 2,
    kQuiet = 4,
    kYes = 8,
    kVerbose = 16,
    kTimeout = 32,
    kHelp = 64,
    kVersion = 128,
};

struct OptionHelp {
    Option option;
    const char* names;
    std::initializer_list<const char*> lines;
};

const OptionHelp kOptions[] = {
#ifdef Q_OS_WIN
    {kPort,
     "-p, --port PORT",
     {"COM1 to COM256, as Windows numbers the ports (see \"ports\").",
      "Without it, the port in QUORVELINO_PORT, else the port the window",
      "last connected with, as kept in the registry (HKEY_CURRENT_USER\\",
      "Software\\Quorvelino\\Quorvelino); else nothing is done (status 2)."}},
#else
    {kPort,
     "-p, --port PORT",
     {"COM1 to COM16 as the window numbers them, a device such as",
      "/dev/ttyUSB0 or /dev/serial/by-id/..., or its name under /dev",
      "(ttyUSB0, serial/by-id/...). Without it, the port in",
      "QUORVELINO_PORT, else the port the window last connected with,",
      "as kept in $XDG_CONFIG_HOME/Quorvelino/Quorvelino.ini",
      "(~/.config/... by default); else nothing is done (status 2)."}},
#endif
    {kJson,
     "--json",
     {"Print one JSON value on standard output instead, also for a failure:",
      "{\"error\": \"...\", \"exit_code\": N}."}},
    {kQuiet, "-q, --quiet", {"Print no progress and no message but failures."}},
    {kYes, "-y, --yes", {"Confirm an erase."}},
    {kVerbose,
     "-v, --verbose",
     {"Print every line sent to and received from the handheld on standard",
      "error, after the seconds since the start (\"  0.412 > ONLINE\")."}},
    {kTimeout, "--timeout SECONDS", {"Stop the run after SECONDS, however far it has come."}},
    {kHelp, "-h, --help", {"Print this text; after a command, the help of that command."}},
    {kVersion, "-V, --version", {"Print the version."}},
};

// The options of a command that connects to the handheld.
constexpr unsigned kConnecting = kPort | kJson | kQuiet | kVerbose | kTimeout | kHelp;

struct Known {
    const char* word;
    CommandLine::Command command;
    int arguments;
    const char* usage;
    std::initializer_list<const char*> summary;
    unsigned options;
    std::initializer_list<const char*> examples;
};

const Known kCommands[] = {
    {"ports",
     CommandLine::Command::Ports,
     0,
     "ports",
     {"List COM1 to COM16 and the serial devices they stand for, with",
      "their by-id links, USB ids, serial numbers and drivers."},
     kJson | kHelp,
     {"ports"}},
    {"status",
     CommandLine::Command::Status,
     0,
     "status",
     {"Print the battery level, firmware version, serial number and every",
      "setting of the handheld, one key=value line each."},
     kConnecting,
     {"status --port COM1", "status --json --port /dev/ttyUSB0",
      "status --json -p /dev/serial/by-id/usb-First... > profile.json"}},
    {"download",
     CommandLine::Command::Download,
     1,
     "download FILE",
     {"Save every record of the handheld in the CSV file FILE, as the",
      "window saves them. FILE is replaced only once every record has",
      "arrived; the records of a download cut short are kept in",
      "FILE.partial, and the message names it. Give - for standard output."},
     kConnecting,
     {"download records-$(date +%F).csv --port COM1",
      "download - --port COM1 | gzip > records.csv.gz"}},
    {"upload",
     CommandLine::Command::Upload,
     1,
     "upload FILE",
     {"Load the selections of the CSV file FILE into the handheld.", "Give - for standard input."},
     kConnecting,
     {"upload selections.csv --port COM1"}},
    {"erase",
     CommandLine::Command::Erase,
     1,
     "erase records|selections",
     {"Erase all records, or all selections, in the handheld (needs --yes)."},
     kConnecting | kYes,
     {"erase records --yes --port COM1"}},
    {"stats",
     CommandLine::Command::Stats,
     0,
     "stats",
     {"Print how many custom codes and records the handheld holds."},
     kConnecting,
     {"stats --port COM1"}},
    {"set-time",
     CommandLine::Command::SetTime,
     0,
     "set-time",
     {"Set the handheld's clock to this computer's local time."},
     kConnecting,
     {"set-time --port COM1"}},
    {"config",
     CommandLine::Command::ConfigApply,
     2,
     "config apply FILE",
     {"Write the settings of the profile FILE (- for standard input), the",
      "JSON object that status --json prints, as the window's buttons do,",
      "and read them back; names every setting the handheld did not take."},
     kConnecting,
     {"config apply profile.json -p /dev/serial/by-id/usb-Second..."}},
};

const Known* known(const QString& word) {
    for (const Known& each : kCommands) {
        if (word == QLatin1String(each.word))
            return &each;
    }
    return nullptr;
}

// A name in the first column, its lines beside it from the given column (counted from 0) on.
QString columns(const QString& name, std::initializer_list<const char*> lines, int column) {
    QString text;
    for (const char* line : lines) {
        text += (text.isEmpty() ? (QStringLiteral("  ") + name).leftJustified(column)
                                : QString(column, QLatin1Char(' '))) +
                QLatin1String(line) + QLatin1Char('\n');
    }
    return text;
}

QString optionsHelp(unsigned options) {
    QString text = QStringLiteral("Options:\n");
    for (const OptionHelp& each : kOptions) {
        if (options & each.option)
            text += columns(QLatin1String(each.names), each.lines, 21);
    }
    return text;
}

QString examples(const Known& command) {
    QString text;
    for (const char* example : command.examples)
        text += QStringLiteral("  quorvelino-cli ") + QLatin1String(example) + QLatin1Char('\n');
    return text;
}

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
    } else if (value.startsWith(QLatin1Char('/')) || value.startsWith(QLatin1String("./")) ||
               value.startsWith(QLatin1String("../"))) {
        request->device = value;
        return true;
    } else if (!value.isEmpty()) {
        // A bare name, as ls /dev shows it: ttyUSB0, pts/2, serial/by-id/usb-...
        request->device = QStringLiteral("/dev/") + value;
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
    const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")});
    parser.addOptions({port, json, quiet, yes, verbose, timeout, help, version});
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    // The parser expects the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("quorvelino-cli")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        *error = unknown.isEmpty()
                     ? parser.errorText()
                     : QStringLiteral("Unknown option %1.").arg(typed(unknown.first(), arguments));
        return false;
    }

    *request = Request();
    const QStringList words = parser.positionalArguments();
    if (parser.isSet(help) || words.value(0) == QLatin1String("help"))
        return readHelp(words, parser.isSet(help), request, error);
    if (parser.isSet(version)) {
        request->command = Command::Version;
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
    return readCommand(words, request, error);
}

QString CommandLine::typed(const QString& name, const QStringList& arguments) {
    const QString dashed = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == dashed || argument.startsWith(dashed + QLatin1Char('=')))
            return QStringLiteral("'%1'").arg(dashed);
        // A letter among others after one dash, as in -qx.
        if (name.size() == 1 && argument.startsWith(QLatin1Char('-')) &&
            !argument.startsWith(QLatin1String("--")) && argument.indexOf(name, 1) > 0)
            return QStringLiteral("'%1' in '%2'").arg(dashed, argument);
    }
    return QStringLiteral("'%1'").arg(dashed);
}

bool CommandLine::readHelp(QStringList words, bool option, Request* request, QString* error) {
    request->command = Command::Help;
    if (!option)
        words.removeFirst(); // the word help
    if (words.isEmpty() || (option && !known(words.first())))
        return true; // --help wins over a command line that is wrong otherwise
    if (!known(words.first())) {
        *error = QStringLiteral("Unknown command \"%1\".").arg(words.first());
        return false;
    }
    if (!option && words.size() > 1) {
        *error =
            QStringLiteral("help takes one command, not \"%1\".").arg(words.join(QLatin1Char(' ')));
        return false;
    }
    request->helpTopic = words.first();
    return true;
}

bool CommandLine::readCommand(QStringList words, Request* request, QString* error) {
    if (words.isEmpty()) {
        *error = QStringLiteral("No command given.");
        return false;
    }
    const QString word = words.takeFirst();
    const Known* const command = known(word);
    if (!command) {
        *error = QStringLiteral("Unknown command \"%1\".").arg(word);
        return false;
    }
    request->command = command->command;
    if (words.size() != command->arguments) {
        switch (command->command) {
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
    if (command->command == Command::ConfigApply && words.takeFirst() != QLatin1String("apply")) {
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

QString CommandLine::helpText(const QString& topic) {
    if (const Known* command = known(topic)) {
        return QStringLiteral("Usage: quorvelino-cli %1%2\n\n")
                   .arg(QLatin1String(command->usage),
                        command->options & ~kHelp ? QStringLiteral(" [OPTIONS]") : QString()) +
               columns(QString(), command->summary, 2) + QLatin1Char('\n') +
               optionsHelp(command->options) + QStringLiteral("\nExamples:\n") +
               examples(*command) +
               QStringLiteral("\nquorvelino-cli --help lists every command and the exit status.\n");
    }
    QString commands;
    QString allExamples;
    for (const Known& command : kCommands) {
        commands += columns(QLatin1String(command.usage), command.summary, 28);
        allExamples += examples(command);
    }
    commands += columns(QStringLiteral("help [COMMAND]"),
                        {"Print this text, or the help of COMMAND with its options."}, 28);
    return QStringLiteral(
               R"(Usage: quorvelino-cli COMMAND [ARGUMENT] [OPTIONS]
       quorvelino-cli help [COMMAND]

The command-line front end of Quorvelino Tool: does the data work of the window from a shell,
a script, cron or a systemd timer, without a display. Each run connects to the handheld, does
its job and disconnects, also when it fails or is interrupted.

Commands:
)") + commands +
           QLatin1Char('\n') + optionsHelp(~0U) + QStringLiteral("\nExamples:\n") + allExamples +
           QStringLiteral(R"(
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
