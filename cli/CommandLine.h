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
        QString device; // --port with a device path, or a bare name under /dev (ttyUSB0)
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
    // request; false, with the reason naming source in *error, when it names none.
    static bool readPort(const QString& value, const QString& source, Request* request,
                         QString* error);

    static QString helpText();
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
    static bool readArgument(const QString& word, const QString& argument, Request* request,
                             QString* error);
};
