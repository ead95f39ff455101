#include "cli/CommandLine.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Command = CommandLine::Command;

namespace {

struct Accepted {
    QStringList arguments;
    Command command;
    QString file;
    int comNumber;
    QString device;
    bool quiet;
    int timeoutSeconds;
};

TEST(CommandLineTest, RequestsAreReadWithOptionsAnywhere) {
    const Accepted cases[] = {
        {{u"status"_s}, Command::Status, {}, 0, {}, false, 0},
        {{u"status"_s, u"--port"_s, u"com3"_s}, Command::Status, {}, 3, {}, false, 0},
        {{u"--port"_s, u"COM16"_s, u"stats"_s}, Command::Stats, {}, 16, {}, false, 0},
        {{u"ports"_s, u"--port=/dev/ttyUSB0"_s},
         Command::Ports,
         {},
         0,
         u"/dev/ttyUSB0"_s,
         false,
         0},
        {{u"-q"_s, u"download"_s, u"r.csv"_s, u"--timeout"_s, u"30"_s},
         Command::Download,
         u"r.csv"_s,
         0,
         {},
         true,
         30},
        {{u"upload"_s, u"--quiet"_s, u"./s.csv"_s}, Command::Upload, u"./s.csv"_s, 0, {}, true, 0},
        {{u"set-time"_s, u"--port"_s, u"./link/tty"_s},
         Command::SetTime,
         {},
         0,
         u"./link/tty"_s,
         false,
         0},
        // A bare device name is looked for under /dev, also one with a slash; -p is --port.
        {{u"status"_s, u"-p"_s, u"ttyUSB0"_s}, Command::Status, {}, 0, u"/dev/ttyUSB0"_s, false, 0},
        {{u"stats"_s, u"-p"_s, u"pts/2"_s}, Command::Stats, {}, 0, u"/dev/pts/2"_s, false, 0},
        {{u"config"_s, u"apply"_s, u"-"_s, u"-p"_s, u"COM2"_s},
         Command::ConfigApply,
         u"-"_s,
         2,
         {},
         false,
         0},
        // --help wins over everything else, even a command line that is wrong otherwise.
        {{u"download"_s, u"--help"_s}, Command::Help, {}, 0, {}, false, 0},
    };
    for (const Accepted& c : cases) {
        const std::string shown = c.arguments.join(u' ').toStdString();
        CommandLine::Request request;
        QString error;
        ASSERT_TRUE(CommandLine::parse(c.arguments, &request, &error))
            << shown << ": " << error.toStdString();
        EXPECT_EQ(request.command, c.command) << shown;
        EXPECT_EQ(request.file, c.file) << shown;
        EXPECT_EQ(request.comNumber, c.comNumber) << shown;
        EXPECT_EQ(request.device, c.device) << shown;
        EXPECT_EQ(request.quiet, c.quiet) << shown;
        EXPECT_EQ(request.timeoutSeconds, c.timeoutSeconds) << shown;
    }
}

TEST(CommandLineTest, EraseNamesWhatAndNeedsYes) {
    CommandLine::Request request;
    QString error;
    ASSERT_TRUE(CommandLine::parse({u"-qy"_s, u"erase"_s, u"selections"_s}, &request, &error));
    EXPECT_EQ(request.command, Command::Erase);
    EXPECT_EQ(request.memory, CommandLine::Memory::Selections);
    EXPECT_TRUE(request.quiet && request.yes);

    EXPECT_FALSE(CommandLine::parse({u"erase"_s, u"records"_s}, &request, &error));
    EXPECT_TRUE(error.contains(u"--yes"_s) && error.contains(u"nothing was erased"_s))
        << error.toStdString();
}

TEST(CommandLineTest, WrongCommandLinesAreRefusedWithTheReason) {
    const std::pair<QStringList, const char*> cases[] = {
        {{}, "No command given"},
        {{u"frobnicate"_s}, "Unknown command \"frobnicate\""},
        {{u"download"_s}, "download takes one file name"},
        {{u"download"_s, u"a.csv"_s, u"b.csv"_s}, "download takes one file name"},
        {{u"download"_s, u"-"_s, u"--json"_s}, "where --json would write its value too"},
        {{u"upload"_s, u""_s}, "not an empty text"},
        {{u"erase"_s, u"everything"_s, u"--yes"_s}, "records or selections, not \"everything\""},
        {{u"erase"_s, u"--yes"_s}, "erase takes what to erase"},
        {{u"status"_s, u"now"_s}, "status takes no arguments"},
        {{u"status"_s, u"--port"_s, u"COM0"_s}, "--port takes COM1 to COM16"},
        {{u"status"_s, u"--port"_s, u"COM17"_s}, "--port takes COM1 to COM16"},
        {{u"status"_s, u"--port"_s}, "Missing value after '--port'"},
        {{u"status"_s, u"--timeout"_s, u"0"_s}, "--timeout takes a whole number"},
        {{u"status"_s, u"--timeout"_s, u"1.5"_s}, "--timeout takes a whole number"},
        {{u"status"_s, u"--bogus"_s}, "Unknown option '--bogus'."},
        {{u"status"_s, u"--bogus=1"_s}, "Unknown option '--bogus'."},
        {{u"status"_s, u"-qx"_s}, "Unknown option '-x' in '-qx'."},
        {{u"help"_s, u"frobnicate"_s}, "Unknown command \"frobnicate\""},
        {{u"config"_s, u"profile.json"_s}, "config apply FILE"},
        {{u"config"_s, u"set"_s, u"profile.json"_s}, "config apply FILE"},
        {{u"config"_s, u"apply"_s, u""_s}, "not an empty text"},
    };
    for (const auto& [arguments, reason] : cases) {
        CommandLine::Request request;
        QString error;
        EXPECT_FALSE(CommandLine::parse(arguments, &request, &error))
            << arguments.join(u' ').toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(reason)))
            << arguments.join(u' ').toStdString() << ": " << error.toStdString();
    }
}

TEST(CommandLineTest, HelpShowsAnExampleOfEveryCommandAndEachCommandsOptions) {
    const QString help = CommandLine::helpText();
    for (const char* command :
         {"ports", "status", "download", "upload", "erase", "stats", "set-time", "config apply"}) {
        EXPECT_TRUE(help.contains(u"\n  quorvelino-cli "_s + QString::fromLatin1(command)))
            << command;
    }
    // help COMMAND and COMMAND --help ask for one command's help; -V is --version.
    const std::pair<QStringList, QString> asked[] = {
        {{u"help"_s}, QString()},
        {{u"help"_s, u"erase"_s}, u"erase"_s},
        {{u"config"_s, u"apply"_s, u"p.json"_s, u"--help"_s}, u"config"_s},
        {{u"-h"_s, u"frobnicate"_s}, QString()},
    };
    for (const auto& [arguments, topic] : asked) {
        CommandLine::Request request;
        QString error;
        ASSERT_TRUE(CommandLine::parse(arguments, &request, &error)) << error.toStdString();
        EXPECT_EQ(request.command, Command::Help);
        EXPECT_EQ(request.helpTopic, topic) << arguments.join(u' ').toStdString();
    }
    CommandLine::Request request;
    QString error;
    ASSERT_TRUE(CommandLine::parse({u"-V"_s}, &request, &error));
    EXPECT_EQ(request.command, Command::Version);

    const QString erase = CommandLine::helpText(u"erase"_s);
    EXPECT_TRUE(erase.startsWith(u"Usage: quorvelino-cli erase records|selections [OPTIONS]\n"_s))
        << erase.toStdString();
    EXPECT_TRUE(erase.contains(u"\n  -y, --yes          Confirm an erase.\n"_s));
    EXPECT_TRUE(erase.contains(u"\n  quorvelino-cli erase records --yes --port COM1\n"_s));
    const QString ports = CommandLine::helpText(u"ports"_s);
    EXPECT_FALSE(ports.contains(u"--port"_s) || ports.contains(u"--yes"_s)) << ports.toStdString();
    EXPECT_TRUE(ports.contains(u"--json"_s));
}

} // namespace
