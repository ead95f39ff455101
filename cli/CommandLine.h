#pragma once

#include <QString>
#include <QStringList>

// What quorvelino-cli was asked to do, read from its arguments.
class CommandLine {
public:
    enum class Command {
        Help,
        Version,
        Ports,
        Status,
        Download,
        Upload,
        Erase,
        Stats,
        SetTime,
        ConfigApply
    };
    enum class Memory { Records, Selections };

    struct Request {
        Command command = Command::Help;
        QString file; // download, upload, config apply; "-": standard output or input
        Memory memory = Memory::Records; // erase
        // COM1 to COM16 as a number, or 0 when a device path or nothing was given.
        int comNumber = 0;
        QString device;    // --port with a device path, or a bare name under /dev (ttyUSB0, pts/2)
        QString helpTopic; // help: the command whose help is asked; empty for the whole help
        bool json = false;
        bool quiet = false;
        bool yes = false;
        bool verbose = false;   // every line to and from the handheld on standard error
        int timeoutSeconds = 0; // 0: no limit
    };

    // Reads the arguments after the program's name. False, with the reason in *error, when they
    // do not make a request.
    static bool parse(const QStringList& arguments, Request* request, QString* error);

    // Reads a port as --port and QUORVELINO_PORT give it (COM3, /dev/ttyUSB0, ttyUSB0) into
    // request: a name that is no path (ttyUSB0, serial/by-id/usb-...) lies under /dev; a path
    // begins with "/", "./" or "../". False, with the reason naming source in *error, when it
    // names no port.
    static bool readPort(const QString& value, const QString& source, Request* request,
                         QString* error);

    // The whole help, or with a command word (download) the help of that command and its
    // options.
    static QString helpText(const QString& topic = QString());
    static QString usageHint() {
        return QStringLiteral("Try 'quorvelino-cli --help' for the commands and options.");
    }

    // The highest COM number of the window's port list.
    static constexpr int kComNumbers = 16;
#ifdef Q_OS_WIN
    // The highest COM number Windows gives.
    static constexpr int kWindowsComNumbers = 256;
#endif
    // The longest time limit --timeout takes: a week.
    static constexpr int kMaxTimeoutSeconds = 7 * 24 * 3600;

private:
    // The command word and its argument, after the options.
    static bool readCommand(QStringList words, Request* request, QString* error);
    // help [COMMAND], or --help after a command (option: the word help is not among words).
    static bool readHelp(QStringList words, bool option, Request* request, QString* error);
    // An unknown option the parser names without its dashes, quoted as it was typed.
    static QString typed(const QString& name, const QStringList& arguments);
    static bool readArgument(const QString& word, const QString& argument, Request* request,
                             QString* error);
};
