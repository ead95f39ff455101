#include "cli/ExitCode.h"
#include "config/ConfigValues.h"
#include "exchange/CsvConversion.h"
#include "sim/DeviceModel.h"
#include "tests/cli/CliRun.h"
#include "tests/support/ConnectedTool.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedHandheld.h"
#include "tests/support/TestFiles.h"
#include "ui/Form1.h"
#include "ui/Tool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// quorvelino-cli against quorvelino-sim on a pseudo-terminal, whose device is COM1 in the
// settings the program reads.
class CliProgramTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return files.filePath(QString::fromLatin1(name)); }
    // The command lines the simulator received, from the file its --commands option wrote at
    // its end.
    static QList<QByteArray> commandsOf(SimulatedHandheld& sim, const QString& log) {
        sim.stop();
        QByteArray text = readFile(log);
        if (text.endsWith('\n'))
            text.chop(1);
        return text.isEmpty() ? QList<QByteArray>() : text.split('\n');
    }
    static QByteArray recordFileOf(qsizetype count, int held) {
        QByteArray file;
        const QList<QByteArray> records = DeviceModel::demoRecords(held);
        for (qsizetype i = 0; i < count; ++i)
            file += CsvConversion::recordToFileLine(records.at(i)) + "\r\n";
        return file;
    }

    QTemporaryDir files;
};

TEST_F(CliProgramTest, StatusJsonHoldsWhatTheHandheldReports) {
    SimulatedHandheld sim({u"--split"_s});
    ASSERT_TRUE(sim.started());
    const CliRun::Result run = CliRun(sim.home()).run({u"status"_s, u"--json"_s});
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    EXPECT_EQ(run.err, "");
    QJsonParseError error;
    const QJsonObject status = QJsonDocument::fromJson(run.out, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();

    const DeviceModel::Settings held = DeviceModel().settings();
    EXPECT_EQ(status.value(u"battery"_s), held.battery);
    EXPECT_EQ(status.value(u"version"_s), QString::fromLatin1(held.version));
    EXPECT_EQ(status.value(u"serial_number"_s), QString::fromLatin1(held.serialNumber));
    EXPECT_EQ(status.value(u"switch_off_time"_s), held.offSeconds);
    EXPECT_EQ(status.value(u"switch_off_disabled"_s), false);
    EXPECT_EQ(status.value(u"read_timeout"_s), held.readTimeout);
    EXPECT_EQ(status.value(u"gps_timeout"_s), held.gpsTimeout);
    EXPECT_EQ(status.value(u"buzzer"_s), held.beeper != 0);
    EXPECT_EQ(status.value(u"gps"_s), held.gps != 0);
    // Each choice as the handheld numbers it, with the caption of the window's item.
    const struct {
        const char* key;
        int number;
        ConfigValues::List list;
    } choices[] = {
        {"tag_type", held.tagType, ConfigValues::List::Tagtyp},
        {"fdx_code", held.fdxCode, ConfigValues::List::FdxCode},
        {"mode", held.mode, ConfigValues::List::Betriebsart},
        {"capture_order", held.order, ConfigValues::List::Order},
        {"language", held.language, ConfigValues::List::Sprache},
    };
    for (const auto& choice : choices) {
        const QString key = QString::fromLatin1(choice.key);
        EXPECT_EQ(status.value(key), choice.number) << choice.key;
        const QString item = ConfigValues::items(choice.list)
                                 .at(choice.number - ConfigValues::firstNumber(choice.list));
        EXPECT_EQ(QString::number(choice.number) + u" - "_s +
                      status.value(key + u"_name"_s).toString(),
                  item)
            << choice.key;
    }
    EXPECT_EQ(status.size(), 19);
}

// One handheld's settings, saved by status --json, written to another and read back.
TEST_F(CliProgramTest, AProfileSavedFromOneHandheldIsTakenByAnother) {
    SimulatedHandheld first;
    ASSERT_TRUE(first.started());
    const CliRun::Result saved = CliRun(first.home()).run({u"status"_s, u"--json"_s});
    ASSERT_EQ(saved.exitCode, ExitCode::kSuccess) << saved.err.toStdString();
    QJsonObject profile = QJsonDocument::fromJson(saved.out).object();
    // The first handheld as another operator set it up.
    const std::pair<const char*, QJsonValue> settings[] = {{"tag_type", 6},
                                                           {"switch_off_time", QJsonValue()},
                                                           {"switch_off_disabled", true},
                                                           {"read_timeout", 7},
                                                           {"gps_timeout", 65535},
                                                           {"fdx_code", 8},
                                                           {"buzzer", false},
                                                           {"gps", true},
                                                           {"mode", 4},
                                                           {"capture_order", 3},
                                                           {"language", 0}};
    for (const auto& [key, value] : settings)
        profile.insert(QString::fromLatin1(key), value);
    const QString file = path("profile.json");
    writeFile(file, QJsonDocument(profile).toJson());

    // One that echoes every command and sends a late line before every answer.
    SimulatedHandheld second({u"--echo"_s, u"--late-line"_s, u"LATE"_s});
    ASSERT_TRUE(second.started());
    CliRun cli(second.home());
    const CliRun::Result applied = cli.run({u"config"_s, u"apply"_s, file});
    ASSERT_EQ(applied.exitCode, ExitCode::kSuccess) << applied.err.toStdString();
    EXPECT_EQ(applied.out + applied.err, "");
    const CliRun::Result read = cli.run({u"status"_s, u"--json"_s});
    const QJsonObject readBack = QJsonDocument::fromJson(read.out).object();
    for (const auto& [key, value] : settings)
        EXPECT_EQ(readBack.value(QString::fromLatin1(key)), value) << key;
}

TEST_F(CliProgramTest, DownloadWritesTheFileTheWindowWrites) {
    SimulatedHandheld sim({u"--records"_s, u"500"_s, u"--split"_s});
    ASSERT_TRUE(sim.started());
    const QString fromCli = path("cli.csv");
    const CliRun::Result run =
        CliRun(sim.home()).run({u"download"_s, fromCli, u"--port"_s, u"COM1"_s});
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    EXPECT_EQ(run.err, "quorvelino-cli: COM1 (" + sim.device().toLocal8Bit() + "), " +
                           fromCli.toLocal8Bit() + ": Transfer of records finished.\n");

    // The window, on the same handheld, which still holds the same records.
    ScriptedMessageBoxes boxes;
    Tool tool(&boxes);
    tool.start();
    tool.controls().setCurrentIndex(Control::Port, 0);
    ASSERT_TRUE(connectAndWaitForChain(tool, kPatientMs));
    const QString fromWindow = path("window.csv");
    tool.controls().setText(Control::PfadSpeichern, fromWindow);
    tool.window().button("LeseErfassungen").click();
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown().isEmpty(); }, kPatientMs));
    ASSERT_EQ(boxes.texts(), QStringList{u"Transfer of records finished."_s});

    EXPECT_EQ(readFile(fromCli), readFile(fromWindow));
    EXPECT_EQ(readFile(fromCli), recordFileOf(500, 500));
}

TEST_F(CliProgramTest, DownloadToStandardOutputTracedAndFromAnEmptyHandheld) {
    SimulatedHandheld sim({u"--records"_s, u"5"_s, u"--split"_s}); // lines come in pieces
    ASSERT_TRUE(sim.started());
    const CliRun::Result run = CliRun(sim.home()).run({u"download"_s, u"-"_s, u"-v"_s, u"-q"_s});
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    EXPECT_EQ(run.out, recordFileOf(5, 5));
    const QString err = QString::fromLocal8Bit(run.err);
    for (const QString& line : {u"> ONLINE"_s, u"< Ok"_s, u"< 0|5"_s, u"> DISCONNECT"_s}) {
        const QRegularExpression traced(u"^ +\\d+\\.\\d{3} "_s + QRegularExpression::escape(line) +
                                            u"$"_s,
                                        QRegularExpression::MultilineOption);
        EXPECT_TRUE(traced.match(err).hasMatch())
            << line.toStdString() << " in " << run.err.toStdString();
    }

    // No records: the old file becomes empty, and keeps its permissions, owner and group (as
    // root, whose file it would become otherwise); --json says 0 of 0.
    SimulatedHandheld empty({u"--records"_s, u"0"_s});
    ASSERT_TRUE(empty.started());
    const QString target = path("records.csv");
    writeFile(target, "old;1\r\n");
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QFileDevice::Permissions mode = QFile::permissions(target);
    const bool root = ::geteuid() == 0;
    constexpr uid_t kNobody = 65534;
    if (root) {
        ASSERT_EQ(::chown(QFile::encodeName(target).constData(), kNobody, kNobody), 0);
    }
    const CliRun::Result none = CliRun(empty.home()).run({u"download"_s, target, u"--json"_s});
    EXPECT_EQ(none.exitCode, ExitCode::kSuccess) << none.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(none.out).object(),
              (QJsonObject{{u"file"_s, target}, {u"records"_s, 0}, {u"announced"_s, 0}}))
        << none.out.toStdString();
    EXPECT_EQ(readFile(target), "");
    EXPECT_EQ(QFile::permissions(target), mode);
    if (root) {
        struct stat kept {};
        ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &kept), 0);
        EXPECT_EQ(kept.st_uid, kNobody);
        EXPECT_EQ(kept.st_gid, kNobody);
    }
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files), QStringList{u"records.csv"_s});
}

TEST_F(CliProgramTest, AnUploadIsHeldByTheHandheldExactly) {
    const QString dump = path("held.txt");
    SimulatedHandheld sim({u"--dump"_s, dump});
    ASSERT_TRUE(sim.started());
    const QString selections = path("selections.csv");
    writeFile(selections, "4711;Smith;A\r\n982000123456789;Jones, B.;\xe4\r\n\r\nlast;|bar|\r");
    const CliRun::Result run = CliRun(sim.home()).run({u"upload"_s, selections});
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    EXPECT_EQ(run.err, "") << "a complete upload ends without a message";

    // Standard input, given as - or as /dev/stdin, is read whole before the port is opened.
    for (const QString& name : {u"-"_s, u"/dev/stdin"_s}) {
        CliRun piped(sim.home());
        piped.setInput("more;" + name.toLatin1() + "\r\n");
        const CliRun::Result fed = piped.run({u"upload"_s, name});
        EXPECT_EQ(fed.exitCode, ExitCode::kSuccess) << fed.err.toStdString();
        EXPECT_EQ(fed.err, "") << "no warning of Qt's";
    }
    CliRun nothing(sim.home());
    nothing.setInput("");
    const CliRun::Result empty = nothing.run({u"upload"_s, u"-"_s});
    EXPECT_EQ(empty.exitCode, ExitCode::kFile);
    EXPECT_TRUE(empty.err.endsWith("standard input: The selections cannot be loaded: standard "
                                   "input is empty.\n"))
        << empty.err.toStdString();
    const CliRun::Result noProfile = nothing.run({u"config"_s, u"apply"_s, u"-"_s});
    EXPECT_EQ(noProfile.exitCode, ExitCode::kFile);
    EXPECT_TRUE(noProfile.err.contains("), standard input: ")) << noProfile.err.toStdString();
    sim.stop();
    EXPECT_EQ(readFile(dump), "4711|Smith|A\n982000123456789|Jones, B.|\xe4\n\nlast||bar|\n"
                              "more|-\nmore|/dev/stdin\n");
}

TEST_F(CliProgramTest, EachFailureHasItsExitStatusAndOneLineNamingPortAndFile) {
    const QString missingFolder = path("missing/records.csv");
    const QString threeSelections = path("three.csv");
    writeFile(threeSelections, "a;1\r\nb;2\r\nc;3\r\n");
    // A good old record file, which no failed download may touch.
    const QDateTime oldTime(QDate(2020, 1, 1), QTime(12, 0));
    const auto oldFile = [&](const char* name) {
        QFile file(path(name));
        writeFile(file.fileName(), "old;1\r\n");
        file.open(QIODevice::ReadWrite);
        file.setFileTime(oldTime, QFileDevice::FileModificationTime);
        return file.fileName();
    };
    const QString misspelt = path("misspelt.json");
    writeFile(misspelt, R"({"buzer": true})");
    const QString timeouts = path("timeouts.json");
    writeFile(timeouts, R"({"read_timeout": 3, "gps_timeout": 4})");
    const struct {
        const char* name;
        QStringList simOptions;
        QStringList arguments;
        int status;
        QString says;
        bool namesPort;
        QString namesFile;
        bool json = false; // run with --json: one error object on standard output
        // A download: the old file stays as it was; the records that arrived, if any, stay in
        // the partial file, which the message names. A transfer that got none adds a line.
        bool keepsOldFile = false;
        bool keepsPartial = false;
        int lines = 1;
    } cases[] = {
        {"erase without --yes",
         {},
         {u"erase"_s, u"records"_s},
         ExitCode::kUsage,
         u"Give --yes to confirm."_s,
         false,
         {},
         true},
        {"a device that does not exist",
         {},
         {u"status"_s, u"--port"_s, u"/dev/qv-no-such-tty"_s},
         ExitCode::kPort,
         u"The device /dev/qv-no-such-tty for COM"_s,
         false,
         {}},
        {"a silent handheld",
         {u"--silent"_s},
         {u"status"_s},
         ExitCode::kNoAnswer,
         u"Device does not respond."_s,
         true,
         {},
         true},
        {"a full memory",
         {u"--capacity"_s, u"2"_s},
         {u"upload"_s, threeSelections},
         ExitCode::kIncomplete,
         u"Selection 3 (line 3 of 3) was not stored."_s,
         true,
         threeSelections},
        {"a record file in a missing folder",
         {},
         {u"download"_s, missingFolder},
         ExitCode::kFile,
         u"The records cannot be saved: the folder "_s,
         true,
         missingFolder},
        // Handhelds that stop answering: the run never waits for ever.
        {"the status queries stop",
         {u"--ignore"_s, u"FDXCODE"_s},
         {u"status"_s},
         ExitCode::kNoAnswer,
         u"The handheld stopped answering the status queries"_s,
         true,
         {}},
        {"the records stop coming",
         {u"--records"_s, u"10"_s, u"--pause-every"_s, u"3"_s, u"--pause-ms"_s, u"60000"_s},
         {u"download"_s, oldFile("stalled.csv")},
         ExitCode::kIncomplete,
         u"The handheld stopped sending records: 3 of the 10 records"_s,
         true,
         path("stalled.csv"),
         false,
         true,
         true},
        {"the record count is not answered",
         {u"--ignore"_s, u"STA"_s},
         {u"download"_s, oldFile("uncounted.csv")},
         ExitCode::kNoAnswer,
         u"did not answer when asked how many records it holds"_s,
         true,
         path("uncounted.csv"),
         false,
         true,
         false},
        {"no record comes after GET",
         {u"--ignore"_s, u"GET"_s},
         {u"download"_s, oldFile("none.csv")},
         ExitCode::kIncomplete,
         u"0 of the 10 records it announced arrived, and none for 30 seconds. No record "
         u"arrived, so none is kept, and "_s +
             path("none.csv") + u" is as it was."_s,
         true,
         path("none.csv"),
         false,
         true,
         false},
        {"the cable is pulled during a download",
         {u"--records"_s, u"500"_s, u"--unplug-after"_s, u"3000"_s},
         {u"download"_s, oldFile("unplugged.csv")},
         ExitCode::kIncomplete,
         u"The connection to the handheld on COM1"_s,
         true,
         path("unplugged.csv"),
         false,
         true,
         true},
        {"the time limit during a download",
         {u"--records"_s, u"3000"_s, u"--wire"_s},
         {u"download"_s, oldFile("limited.csv"), u"--timeout"_s, u"3"_s},
         ExitCode::kTimeLimit,
         u"Stopped at the time limit of 3 seconds"_s,
         true,
         path("limited.csv"),
         false,
         true,
         true},
        {"an erase is not answered",
         {u"--ignore"_s, u"DEL T"_s},
         {u"erase"_s, u"selections"_s, u"--yes"_s},
         ExitCode::kNoAnswer,
         u"did not answer \"DEL T\""_s,
         true,
         {}},
        {"an erase the handheld refuses, after an echo and a late line",
         {u"--fail"_s, u"DEL E"_s, u"--echo"_s, u"--late-line"_s, u"LATE"_s},
         {u"erase"_s, u"records"_s, u"--yes"_s},
         ExitCode::kRefused,
         u"answered \"DEL E\" with \"Error\" instead of \"Ok\""_s,
         true,
         {}},
        {"the clock is not answered",
         {u"--ignore"_s, u"CLOCK"_s},
         {u"set-time"_s},
         ExitCode::kNoAnswer,
         u"did not answer \"CLOCK\""_s,
         true,
         {}},
        {"the statistics are not answered",
         {u"--ignore"_s, u"STA"_s},
         {u"stats"_s},
         ExitCode::kNoAnswer,
         u"did not answer when asked for its statistics"_s,
         true,
         {}},
        {"the time limit",
         {u"--silent"_s},
         {u"status"_s, u"--timeout"_s, u"1"_s},
         ExitCode::kTimeLimit,
         u"Stopped at the time limit of 1 second (--timeout)."_s,
         true,
         {},
         true},
        {"a profile with a misspelt key",
         {},
         {u"config"_s, u"apply"_s, misspelt},
         ExitCode::kFile,
         u"The profile has the key \"buzer\""_s,
         true,
         misspelt},
        {"a setting the handheld refuses",
         {u"--fail"_s, u"TIMEOUT 3"_s},
         {u"config"_s, u"apply"_s, timeouts},
         ExitCode::kRefused,
         u"The handheld did not take: read_timeout (sent 3, answered \"Error\")."_s,
         true,
         timeouts,
         true},
    };
    // Each case has a handheld of its own, and the runs go side by side: most of their time is
    // the handhelds' silence, waited out in real time.
    struct Running {
        QString log;
        std::unique_ptr<SimulatedHandheld> sim;
        std::unique_ptr<CliRun> cli;
    };
    std::vector<Running> running;
    for (const auto& c : cases) {
        const QString log = files.filePath(u"commands-%1.txt"_s.arg(running.size()));
        auto sim =
            std::make_unique<SimulatedHandheld>(c.simOptions + QStringList{u"--commands"_s, log});
        ASSERT_TRUE(sim->started()) << c.name;
        auto cli = std::make_unique<CliRun>(sim->home());
        cli->start(c.arguments + (c.json ? QStringList{u"--json"_s} : QStringList()));
        running.push_back({log, std::move(sim), std::move(cli)});
    }
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        const auto& c = cases[n];
        SimulatedHandheld& sim = *running[n].sim;
        const CliRun::Result run = running[n].cli->finish(60000);
        const QString err = QString::fromLocal8Bit(run.err);
        EXPECT_EQ(run.exitCode, c.status) << c.name << ": " << err.toStdString();
        const QJsonObject failure = QJsonDocument::fromJson(run.out).object();
        EXPECT_EQ(run.out.isEmpty(), !c.json) << c.name;
        if (c.json) {
            EXPECT_EQ(failure.value(u"exit_code"_s), c.status) << c.name;
            EXPECT_TRUE(failure.value(u"error"_s).toString().contains(c.says))
                << c.name << ": " << run.out.toStdString();
            EXPECT_EQ(failure.size(), 2) << c.name;
        }
        EXPECT_TRUE(err.startsWith(u"quorvelino-cli: "_s) && err.contains(c.says))
            << c.name << ": " << err.toStdString();
        if (c.status != ExitCode::kUsage) {
            EXPECT_EQ(err.count(u'\n'), c.lines) << c.name << ": " << err.toStdString();
        }
        if (c.keepsOldFile) {
            EXPECT_EQ(readFile(c.namesFile), "old;1\r\n") << c.name;
            EXPECT_EQ(QFileInfo(c.namesFile).lastModified(), oldTime) << c.name;
            const QString partial = c.namesFile + u".partial"_s;
            EXPECT_EQ(QFileInfo::exists(partial), c.keepsPartial) << c.name;
            EXPECT_EQ(err.contains(u"kept in the file"_s), c.keepsPartial)
                << c.name << ": " << err.toStdString();
            if (c.keepsPartial) {
                const QByteArray kept = readFile(partial);
                EXPECT_EQ(kept, recordFileOf(kept.count("\r\n"), 3000)) << c.name;
                EXPECT_TRUE(err.contains(u"kept in the file "_s + partial + u'.'))
                    << c.name << ": " << err.toStdString();
            }
        }
        if (c.namesPort) {
            EXPECT_TRUE(err.contains(u"COM1 ("_s + sim.device() + u')')) << c.name;
        }
        if (!c.namesFile.isEmpty()) {
            EXPECT_TRUE(err.contains(c.namesFile)) << c.name;
        }

        const QList<QByteArray> commands = commandsOf(sim, running[n].log);
        if (c.status == ExitCode::kUsage || c.status == ExitCode::kPort ||
            c.status == ExitCode::kFile) {
            EXPECT_TRUE(commands.isEmpty()) << c.name << ": nothing reaches the handheld";
        } else if (!c.simOptions.contains(u"--silent"_s) && // a silent one keeps no commands
                   !c.simOptions.contains(u"--unplug-after"_s)) {
            EXPECT_EQ(commands.value(commands.size() - 1), "DISCONNECT") << c.name;
        }
    }
}

TEST_F(CliProgramTest, CtrlCInTheMiddleOfADownloadSaysDisconnectAndKeepsTheRecordsReceived) {
    const QString log = path("commands.txt");
    SimulatedHandheld sim(
        {u"--records"_s, u"3000"_s, u"--wire"_s, u"--commands"_s, log}); // about 25 s of records
    ASSERT_TRUE(sim.started());
    const QString records = path("records.csv");
    const QString partial = records + u".partial"_s;
    CliRun cli(sim.home());
    cli.start({u"download"_s, records});
    ASSERT_TRUE(waitUntil([&] { return readFile(partial).count("\r\n") >= 50; }, kPatientMs));
    cli.interrupt();
    const CliRun::Result run = cli.finish(10000);
    EXPECT_EQ(run.exitCode, ExitCode::kSignalBase + SIGINT) << run.err.toStdString();

    EXPECT_FALSE(QFileInfo::exists(records)) << "only a complete download makes the file";
    const QByteArray file = readFile(partial);
    const qsizetype kept = file.count("\r\n");
    EXPECT_LT(kept, 3000);
    EXPECT_EQ(file, recordFileOf(kept, 3000)) << "whole records, in order, and nothing else";
    const QString err = QString::fromLocal8Bit(run.err);
    EXPECT_TRUE(err.contains(u"Interrupted (Ctrl+C). The record download was interrupted after "_s +
                             QString::number(kept) +
                             u" of 3000 records. What arrived before is "
                             u"kept in the file "_s +
                             partial))
        << err.toStdString();
    const QList<QByteArray> commands = commandsOf(sim, log);
    EXPECT_TRUE(commands.contains("GET"));
    EXPECT_EQ(commands.value(commands.size() - 1), "DISCONNECT");
}

TEST_F(CliProgramTest, TheHandheldIsGreetedOnlyOnAPortGivenOrChosen) {
    const QString log = path("commands.txt");
    SimulatedHandheld sim({u"--commands"_s, log});
    ASSERT_TRUE(sim.started());
    CliRun unchosen(files.path()); // settings that choose no port
    CliRun::Result run = unchosen.run({u"status"_s});
    EXPECT_EQ(run.exitCode, ExitCode::kUsage);
    EXPECT_TRUE(run.err.contains("No port is chosen.") && run.err.contains("present"))
        << run.err.toStdString();
    run = unchosen.run({u"ports"_s, u"--json"_s});
    for (const QJsonValue port : QJsonDocument::fromJson(run.out).array())
        EXPECT_FALSE(port[u"chosen"_s].toBool()) << "COM1 only stands first in the list";
    // The window stores its list's port at every close, COM1 when nobody chose, and a damaged
    // value stands for COM1 too: neither is a choice.
    QDir(files.path()).mkpath(u"Quorvelino"_s);
    const QString ini = files.filePath(u"Quorvelino/Quorvelino.ini"_s);
    for (const QByteArray stored : {"\" 0\"", "junk"}) {
        writeFile(ini,
                  "[Config]\nPort=" + stored + "\n[Ports]\nCOM1=" + sim.device().toLocal8Bit());
        run = unchosen.run({u"status"_s});
        EXPECT_EQ(run.exitCode, ExitCode::kUsage) << stored.toStdString();
        EXPECT_TRUE(run.err.contains("No port is chosen.")) << run.err.toStdString();
    }
    unchosen.setEnvironment(u"QUORVELINO_PORT"_s, u"COM99"_s);
    run = unchosen.run({u"status"_s});
    EXPECT_EQ(run.exitCode, ExitCode::kUsage);
    EXPECT_TRUE(run.err.contains("QUORVELINO_PORT takes COM1 to COM16")) << run.err.toStdString();
    EXPECT_TRUE(commandsOf(sim, log).isEmpty()) << "nothing reached the handheld";

    // Once the window has connected on COM1, COM1 is its choice.
    SimulatedHandheld chosen(QStringList{});
    ASSERT_TRUE(chosen.started());
    writeFile(ini, "[Config]\nPort= 0\n[Ports]\nCOM1=" + chosen.device().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", files.path().toLocal8Bit());
    {
        ScriptedMessageBoxes boxes;
        Tool tool(&boxes);
        tool.start();
        ASSERT_TRUE(connectAndWaitForChain(tool, kPatientMs));
        tool.controls().setChecked(Control::Connect, false);
    }
    unchosen.setEnvironment(u"QUORVELINO_PORT"_s, QString());
    run = unchosen.run({u"ports"_s, u"--json"_s});
    EXPECT_TRUE(QJsonDocument::fromJson(run.out).array().at(0)[u"chosen"_s].toBool());
    EXPECT_EQ(unchosen.run({u"stats"_s}).exitCode, ExitCode::kSuccess);
    unchosen.setEnvironment(u"QUORVELINO_PORT"_s, chosen.device());
    EXPECT_EQ(unchosen.run({u"stats"_s}).exitCode, ExitCode::kSuccess);
    unchosen.setEnvironment(u"QUORVELINO_PORT"_s, u"/dev/qv-no-such-tty"_s);
    EXPECT_EQ(unchosen.run({u"stats"_s, u"-p"_s, chosen.device()}).exitCode, ExitCode::kSuccess)
        << "--port before the environment";
}

TEST_F(CliProgramTest, AHandheldStillSendingForAKilledRunIsWaitedForBeforeTheGreeting) {
    SimulatedHandheld sim({u"--records"_s, u"800"_s, u"--wire"_s}); // about 9 s of records
    ASSERT_TRUE(sim.started());
    const QString records = path("records.csv");
    CliRun killed(sim.home());
    killed.start({u"download"_s, records});
    const QString partial = records + u".partial"_s; // where a download writes until complete
    ASSERT_TRUE(waitUntil([&] { return readFile(partial).count("\r\n") >= 50; }, kPatientMs));
    killed.kill();

    CliRun::Result run = CliRun(sim.home()).run({u"status"_s, u"--timeout"_s, u"1"_s});
    EXPECT_EQ(run.exitCode, ExitCode::kTimeLimit);
    EXPECT_TRUE(run.err.contains("The handheld was still sending, so it was not greeted."))
        << run.err.toStdString();
    run = CliRun(sim.home()).run({u"status"_s});
    EXPECT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith("battery=")) << run.out.toStdString();
}

TEST_F(CliProgramTest, EraseThenStatisticsAndTheClock) {
    const QString log = path("commands.txt");
    // A handheld that echoes every command and sends a late line before every answer.
    SimulatedHandheld sim({u"--records"_s, u"7"_s, u"--custom-codes"_s, u"3"_s, u"--commands"_s,
                           log, u"--echo"_s, u"--late-line"_s, u"LATE"_s});
    ASSERT_TRUE(sim.started());
    CliRun cli(sim.home());
    CliRun::Result run = cli.run({u"erase"_s, u"records"_s, u"--yes"_s});
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    EXPECT_EQ(run.out + run.err, "");

    run = cli.run({u"stats"_s, u"--json"_s});
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(run.out).object(),
              (QJsonObject{{u"custom_codes"_s, 3}, {u"records"_s, 0}}));

    const QDateTime before = QDateTime::currentDateTime();
    run = cli.run({u"set-time"_s});
    const QDateTime after = QDateTime::currentDateTime();
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    const QRegularExpressionMatch time =
        QRegularExpression(u"^time=(\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d)\\n$"_s)
            .match(QString::fromLocal8Bit(run.out));
    ASSERT_TRUE(time.hasMatch()) << run.out.toStdString();
    // The clock goes out to the minute, taken during the run: a run may cross a minute's end.
    const QDateTime sent = QDateTime::fromString(time.captured(1), u"dd.MM.yyyy hh:mm"_s);
    const QDateTime startMinute(before.date(), QTime(before.time().hour(), before.time().minute()));
    EXPECT_GE(sent, startMinute) << before.toString().toStdString();
    EXPECT_LE(sent, after) << after.toString().toStdString();

    const QList<QByteArray> commands = commandsOf(sim, log);
    EXPECT_TRUE(commands.contains("DEL E"));
    EXPECT_TRUE(commands.contains("CLOCK " + time.captured(1).toLatin1()));
    EXPECT_EQ(commands.count("DISCONNECT"), 3) << "one goodbye per run";
}

TEST_F(CliProgramTest, PortsListsTheWindowsNumbersWithoutConnecting) {
    const QString log = path("commands.txt");
    SimulatedHandheld sim({u"--commands"_s, log});
    ASSERT_TRUE(sim.started());
    const CliRun::Result run = CliRun(sim.home()).run({u"ports"_s, u"--json"_s});
    ASSERT_EQ(run.exitCode, ExitCode::kSuccess) << run.err.toStdString();
    const QJsonArray ports = QJsonDocument::fromJson(run.out).array();
    ASSERT_EQ(ports.size(), 16);
    EXPECT_EQ(ports.at(0).toObject(), (QJsonObject{{u"port"_s, u"COM1"_s},
                                                   {u"device"_s, sim.device()},
                                                   {u"present"_s, true},
                                                   {u"from_settings"_s, true},
                                                   {u"chosen"_s, true},
                                                   // A pseudo-terminal is no USB adapter.
                                                   {u"by_id"_s, QJsonValue()},
                                                   {u"description"_s, QJsonValue()},
                                                   {u"usb"_s, QJsonValue()},
                                                   {u"serial_number"_s, QJsonValue()},
                                                   {u"driver"_s, QJsonValue()}}));
    EXPECT_EQ(ports.at(15).toObject().value(u"port"_s), u"COM16"_s);
    EXPECT_TRUE(commandsOf(sim, log).isEmpty());

    // Values that never reach their reader are no success.
    CliRun full(sim.home());
    full.setOutputFile(u"/dev/full"_s);
    const CliRun::Result failed = full.run({u"ports"_s});
    EXPECT_EQ(failed.exitCode, ExitCode::kFile);
    EXPECT_TRUE(failed.err.contains("could not be written to standard output"))
        << failed.err.toStdString();
}

} // namespace
