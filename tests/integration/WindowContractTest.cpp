// The window's contract, control by control (see ContractSession.h): the connection, the pages,
// every control that acts, the refusals while records arrive, and a handheld that sleeps on.

#include "exchange/CsvConversion.h"
#include "link/ReplyMode.h"
#include "sim/DeviceModel.h"
#include "tests/integration/ContractSession.h"
#include "tests/support/WaitUntil.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <memory>
#include <termios.h>

using namespace Qt::StringLiterals;

namespace {

using Icon = MessageBoxes::Icon;
using Buttons = MessageBoxes::Buttons;

const ReplyMode kIdle = ReplyMode::Idle;
const ReplyMode kIdRead = ReplyMode::IdRead;
const ReplyMode kDownload = ReplyMode::RecordDownload;
// The status chain's mode: an answer that is no status reply is dropped in it, so a command
// that must leave the reply mode alone shows it unchanged.
const ReplyMode kChain = ReplyMode::StatusChain;

const QByteArray kOk = "Ok\r\n";

// The records the handheld holds, and the record file they make.
constexpr int kRecordCount = 3;
QByteArray recordFileOf(const QList<QByteArray>& records) {
    QByteArray file;
    for (const QByteArray& record : records)
        file += CsvConversion::recordToFileLine(record) + "\r\n";
    return file;
}

// The files the data exchange rows choose: where records go, two selections, and none.
struct Files {
    QString records;
    QString selections;
    QString empty;
};

bool writeFiles(const Files& files) {
    QFile selections(files.selections);
    QFile empty(files.empty);
    return selections.open(QIODevice::WriteOnly) &&
           selections.write("4711;Smith;A\r\n0815;Jones;B\r\n") > 0 &&
           empty.open(QIODevice::WriteOnly);
}

void checkConnect(ContractSession& s) {
    // clang-format off
    const QList<Row> connectRow{
        // page  control  caption  operator sets first  ReplyMode before
        //   wire (pause before each line, ms)  log emptied  ReplyMode after
        //   the window shows  message box
        {"", "Connect", u"Connect"_s, [](auto& s) { pick(s, "Port", 0); }, kIdle,
         QList<Sent>{{"ONLINE\r", 200}, {"ONLINE\r", 250}} + statusChain(), true, kIdle,
         {{"Connect", "Connected"}, {kLog, "connecting...\r\n*"}, {"SNR", "AE012345"}, {"Version", "V2.31 Sim"},
          {kBattery, "87"}, {"Tagtyp", "1 - FDX-B"}, {kFrames, "on on on on"}},
         std::nullopt},
    };
    // clang-format on
    s.check(connectRow[0]);
}

// The pages, the line the tool opened, and the clock, which sends nothing.
void checkPagesLineAndClock(ContractSession& s) {
    // The tab strip: page captions in order, each holding its frame.
    const QTabWidget& tabs = s.tool->window().tabs();
    QStringList pages;
    for (int n = 0; n < tabs.count(); ++n)
        pages << tabs.tabText(n) + u' ' + tabs.widget(n)->objectName();
    EXPECT_EQ(pages.join(u", "_s).toStdString(),
              "Online FrameOnline, Control FrameControls, Configuration FrameConfig, "
              "Data exchange FrameUebertragen");

    // The line settings the opened device really has.
    const termios line = s.handheld.lineSettings();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B38400)) << "speed";
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8)) << "data bits";
    EXPECT_EQ(line.c_cflag & PARENB, tcflag_t(0)) << "parity";
    EXPECT_EQ(line.c_cflag & CSTOPB, tcflag_t(0)) << "stop bits";

    // The clock timer Timer1 puts the PC's time into "Zeit" every 500 ms and sends nothing.
    {
        const qsizetype first = s.handheld.lineCount();
        set(s, "Zeit", u"typed"_s);
        EXPECT_TRUE(
            waitUntil([&] { return s.controls().text(Control::Zeit) != u"typed"_s; }, kPatientMs));
        const QDateTime now = QDateTime::currentDateTime();
        EXPECT_TRUE(s.controls().text(Control::Zeit) == now.toString(u"dd.MM.yyyy hh:mm"_s) ||
                    s.controls().text(Control::Zeit) ==
                        now.addSecs(-60).toString(u"dd.MM.yyyy hh:mm"_s))
            << s.controls().text(Control::Zeit).toStdString();
        EXPECT_EQ(s.handheld.lineCount(), first);
    }
}

// clang-format off
QList<Row> controlRows(const Files& files) {
    const QList<QByteArray> records = DeviceModel::demoRecords(kRecordCount);
    const QByteArray recordFile = recordFileOf(records);
    const Box erase{u"Do you really want to delete all data?"_s, u"Delete"_s, Icon::Question,
                    Buttons::YesNo};
    // With "read continously" ticked the handheld leaves the repeated "READID" unanswered.
    const auto dropSecondReadId = [](auto& s) {
        s.controls().setChecked(Control::ReadCont, true);
        auto reads = std::make_shared<int>(0);
        s.handheld.setScript([reads](const QByteArray& command, const QByteArray& answer) {
            return command == "READID\r" && ++*reads == 1 ? QByteArray() : answer;
        });
    };

    return {
        // Online
        {"Online", "ReadId", u"Read ID"_s, nullptr, kIdle,
         {{"READID\r"}}, true, kIdle,
         {{"IDAnzeige", "982 000123456789"}, {kLog, "982 000123456789\r\n"}}, std::nullopt},
        {"Online", "Scan", u"Scan barcode"_s, nullptr, kIdle,
         {{"SCAN\r"}}, true, kIdle,
         {{"IDAnzeige", "4006381333931"}, {kLog, "4006381333931\r\n"}}, std::nullopt},
        // With "read continously" ticked every result is followed, 500 ms later, by a cleared
        // log and "READID"; the handheld leaves the repeat unanswered.
        {"Online", "Scan", u"Scan barcode"_s, dropSecondReadId, kIdle,
         {{"SCAN\r"}, {"READID\r", 500}}, true, kIdRead,
         {{"IDAnzeige", "5901234123457"}, {kLog, ""}}, std::nullopt},
        {"Online", "WriteBlock", u"Write text block"_s,
         [](auto& s) { s.controls().setChecked(Control::ReadCont, false);
                          set(s, "BlockAdress", u"3"_s); set(s, "WriteData", u"Hello"_s); }, kChain,
         {{"WRITE 3 \"Hello\"\r"}}, true, kChain,
         {{kLog, kOk}, {"Zeile", "Ok"}}, std::nullopt},
        {"Online", "ReadBlock", u"Read text block"_s,
         [](auto& s) { set(s, "BlockAdress", u"3"_s); set(s, "BlockEndAdress", u"4"_s); }, kChain,
         {{"READ 3 4\r"}}, true, kChain,
         {{kLog, "3:Hello\r\n4:\0\0\0\0\r\n"_ba}}, std::nullopt},
        {"Online", "WriteBlockHex", u"Write Hex"_s,
         [](auto& s) { set(s, "BlockAdress", u"4"_s); set(s, "WriteData", u"0A1B2C3D"_s); }, kChain,
         {{"BINWRITE 4 0A1B2C3D 3B7D1F5A9C2E\r"}}, true, kChain,
         {{kLog, kOk}}, std::nullopt},
        {"Online", "ReadBlockHex", u"Read Hex"_s,
         [](auto& s) { set(s, "BlockAdress", u"4"_s); }, kChain,
         {{"BINREAD 4 3B7D1F5A9C2E\r"}}, true, kChain,
         {{kLog, kAnswer}}, std::nullopt},
        {"Online", "ReadBlockHex", u"Read Hex"_s,
         [](auto& s) { set(s, "BlockAdress", QString()); }, kChain,
         {}, true, kChain,
         {{kLog, ""}}, Box{u"No block selected!"_s, u"Error"_s, Icon::Warning, Buttons::Ok}},
        {"Online", "WriteBlockHex", u"Write Hex"_s,
         [](auto& s) { set(s, "BlockAdress", u"4"_s); set(s, "WriteData", u"ABC"_s); }, kChain,
         {}, true, kChain,
         {{kLog, ""}}, Box{u"Data are not valid."_s, u"Error"_s, Icon::Warning, Buttons::Ok}},
        // Control
        {"Control", "Buzzer", u"Buzzer"_s, nullptr, kChain,
         {{"BEEP\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Control", "Keyboard", u"Keyboard"_s, nullptr, kChain,
         {{"KEYBOARD\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Control", "CLS", u"Clear Display"_s, nullptr, kChain,
         {{"CLS\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Control", "Display", u"Show text"_s,
         [](auto& s) { set(s, "DisplayZeile", u"3"_s); set(s, "DisplayText", u"Hello"_s); }, kChain,
         {{"DISPLAY 3 \"Hello\"\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // Configuration
        {"Configuration", "SetzeZeit", u"Set time"_s,
         [](auto& s) { set(s, "Zeit", u"24.12.2026 18:30"_s); }, kChain,
         {{"CLOCK 24.12.2026 18:30\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "TagSetzen", u"Set tag type"_s,
         [](auto& s) { pick(s, "Tagtyp", 3); }, kChain,
         {{"TAGTYP 3 \r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "OfftimeSetzen", u"Set switch off time"_s,
         [](auto& s) { set(s, "Offtime", u"120"_s); }, kChain,
         {{"OFF 120\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // Both answers reach the log: the first waits in the port during the pause.
        {"Configuration", "ReadtimeoutSetzen", u"Set timeout"_s,
         [](auto& s) { set(s, "Readtimeout", u"25"_s); set(s, "gpstimeout", u"40"_s); }, kChain,
         {{"TIMEOUT 25\r"}, {"GPSTIMEOUT 40\r", 200}}, true, kChain,
         {{kLog, kOk + kOk}}, std::nullopt},
        {"Configuration", "FdxcodeSetzen", u"Set FDX code"_s,
         [](auto& s) { pick(s, "FDXCode", 4); }, kChain,
         {{"FDXCODE 5 \r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // The answer to the ENBEEP line is read during the pause and thrown away.
        {"Configuration", "EnBeeperSetzen", u"Set features"_s,
         [](auto& s) { s.controls().setChecked(Control::EnBeeper, false);
                          s.controls().setChecked(Control::EnGPS, true); }, kChain,
         {{"ENBEEP  0\r"}, {"GPS  1\r", 100}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "BetriebsartSetzen", u"Set mode"_s,
         [](auto& s) { pick(s, "Betriebsart", 2); pick(s, "Order", 4); }, kChain,
         {{"FUNCTION 3,4\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"Configuration", "SpracheSetzen", u"Set language"_s,
         [](auto& s) { pick(s, "Sprache", 2); }, kChain,
         {{"LANGUAGE 2 \r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        // The hidden "Set" beside the serial number, in the top strip.
        {"", "SetSnr", u"Set"_s, [](auto& s) { set(s, "SNR", u"AE654321"_s); }, kChain,
         {{"SNR+654321\r"}}, true, kChain, {{kLog, kOk}}, std::nullopt},
        {"", "SetSnr", u"Set"_s, [](auto& s) { set(s, "SNR", u"ae654321"_s); }, kChain,
         {}, false, kChain, {{kLog, kLogBefore}},
         Box{u"Format: AExxxxxx"_s, u"Error"_s, Icon::None, Buttons::Ok}},
        // Data exchange
        {"Data exchange", "PfadSpeichernWaehlen", u"..."_s,
         [=](auto& s) { s.dialogs.chooseNext(files.records); }, kChain,
         {}, false, kChain, {{"PfadSpeichern", files.records.toLocal8Bit()}}, std::nullopt,
         Dialog{true, u"Select CSV file for saving"_s}},
        {"Data exchange", "PfadLadenWaehlen", u"..."_s,
         [=](auto& s) { s.dialogs.chooseNext(files.selections); }, kChain,
         {}, false, kChain, {{"PfadLaden", files.selections.toLocal8Bit()}}, std::nullopt,
         Dialog{false, u"Select CSV file for opening"_s}},
        // The count reply is polled and never reaches the log; the records do.
        {"Data exchange", "LeseErfassungen", u"Read out records"_s, nullptr, kIdle,
         {{"STA\r"}, {"GET\r"}}, true, kIdle,
         {{kLog, records.join("\r\n") + "\r\n"}, {"Zeile", records[2]}, {kRecordFile, recordFile}},
         Box{u"Transfer of records finished."_s, u"QuorvelinoTool"_s, Icon::Information, Buttons::Ok}},
        {"Data exchange", "Statistik", u"Statistic"_s, nullptr, kChain,
         {{"STA\r"}}, true, kChain,
         {{"OutStatistik", "Custom codes: 0, records: 3"}, {kLog, ""}}, std::nullopt},
        {"Data exchange", "GeneriereDaten", u"Load selections"_s, nullptr, kChain,
         {{"PUT 4711|Smith|A\r", 5}, {"PUT 0815|Jones|B\r", 5}}, true, kChain,
         {{kLog, "Dataset  2 - Ok\r\n"}}, std::nullopt},
        // An empty selection file sends nothing and leaves the log empty.
        {"Data exchange", "GeneriereDaten", u"Load selections"_s,
         [=](auto& s) { set(s, "PfadLaden", files.empty); }, kChain,
         {}, true, kChain, {{kLog, ""}}, std::nullopt},
        {"Data exchange", "LeseDaten", u"Read out selections"_s,
         [=](auto& s) { set(s, "PfadLaden", files.selections); }, kChain,
         {{"REC\r"}}, true, kChain,
         {{kLog, "4711|Smith|A\r\n0815|Jones|B\r\n"}, {"Zeile", "0815|Jones|B"}}, std::nullopt},
        {"Data exchange", "LoescheDaten", u"Erase selections"_s,
         [](auto& s) { s.boxes.answerNext(MessageBoxes::Answer::No); }, kChain,
         {}, false, kChain, {{kLog, kLogBefore}}, erase},
        {"Data exchange", "LoescheDaten", u"Erase selections"_s, nullptr, kChain,
         {{"DEL T\r"}}, true, kChain, {{kLog, kOk}}, erase},
        {"Data exchange", "LoescheErfassungen", u"Erase records"_s,
         [](auto& s) { s.boxes.answerNext(MessageBoxes::Answer::No); }, kChain,
         {}, false, kChain, {{kLog, kLogBefore}}, erase},
        {"Data exchange", "LoescheErfassungen", u"Erase records"_s, nullptr, kChain,
         {{"DEL E\r"}}, true, kChain, {{kLog, kOk}}, erase},
    };
}
// clang-format on

// While records are transferring, every button that sends to the handheld is refused and nothing
// is sent; the path buttons and the connect toggle are not. The handheld, its records erased, has
// announced three records and sent the first, then nothing.
void checkRefusedDuringDownload(ContractSession& s, const Files& files) {
    const Box refused{
        QStringLiteral("The record download into %1 is still running: 1 of the 3 records have "
                       "arrived. Wait until it has finished, or disconnect to stop it, before "
                       "sending the handheld anything else.")
            .arg(files.records),
        u"Record download running"_s, Icon::Warning, Buttons::Ok};
    // clang-format off
    const struct { const char* page; const char* name; QString caption; } sending[]{
        {"Online", "ReadId", u"Read ID"_s}, {"Online", "Scan", u"Scan barcode"_s},
        {"Online", "ReadBlock", u"Read text block"_s}, {"Online", "ReadBlockHex", u"Read Hex"_s},
        {"Online", "WriteBlock", u"Write text block"_s}, {"Online", "WriteBlockHex", u"Write Hex"_s},
        {"Control", "Buzzer", u"Buzzer"_s}, {"Control", "Keyboard", u"Keyboard"_s},
        {"Control", "CLS", u"Clear Display"_s}, {"Control", "Display", u"Show text"_s},
        {"Configuration", "SetzeZeit", u"Set time"_s}, {"Configuration", "TagSetzen", u"Set tag type"_s},
        {"Configuration", "OfftimeSetzen", u"Set switch off time"_s},
        {"Configuration", "ReadtimeoutSetzen", u"Set timeout"_s},
        {"Configuration", "FdxcodeSetzen", u"Set FDX code"_s},
        {"Configuration", "EnBeeperSetzen", u"Set features"_s},
        {"Configuration", "BetriebsartSetzen", u"Set mode"_s},
        {"Configuration", "SpracheSetzen", u"Set language"_s}, {"", "SetSnr", u"Set"_s},
        {"Data exchange", "LeseErfassungen", u"Read out records"_s},
        {"Data exchange", "GeneriereDaten", u"Load selections"_s},
        {"Data exchange", "LoescheErfassungen", u"Erase records"_s},
        {"Data exchange", "LoescheDaten", u"Erase selections"_s},
        {"Data exchange", "LeseDaten", u"Read out selections"_s},
        {"Data exchange", "Statistik", u"Statistic"_s},
    };
    for (const auto& button : sending)
        s.check({button.page, button.name, button.caption, nullptr, kDownload,
                 {}, false, kDownload, {{kLog, kLogBefore}}, refused});
    s.check({"Data exchange", "PfadLadenWaehlen", u"..."_s,
             [=](auto& s) { s.dialogs.chooseNext(files.selections); }, kDownload,
             {}, false, kDownload, {{"PfadLaden", files.selections.toLocal8Bit()}}, std::nullopt,
             Dialog{false, u"Select CSV file for opening"_s}});
    s.check({"Data exchange", "PfadSpeichernWaehlen", u"..."_s,
             [=](auto& s) { s.dialogs.chooseNext(files.records); }, kDownload,
             {}, false, kDownload, {{"PfadSpeichern", files.records.toLocal8Bit()}}, std::nullopt,
             Dialog{true, u"Select CSV file for saving"_s}});
    // clang-format on
}

TEST(WindowContractTest, EveryControlThatActs) {
    DeviceModel::Options options;
    options.records = kRecordCount;
    ContractSession s(options);
    ASSERT_TRUE(s.handheld.ok()) << "no pseudo-terminal";
    const QList<QByteArray> records = DeviceModel::demoRecords(kRecordCount);
    const QByteArray recordFile = recordFileOf(records);

    checkConnect(s);
    ASSERT_TRUE(s.controls().isEnabled(Control::FrameOnline))
        << "no connection: the other rows need one";
    checkPagesLineAndClock(s);
    const Files files{s.file("records.csv"), s.file("selections.csv"), s.file("empty.csv")};
    ASSERT_TRUE(writeFiles(files));
    for (const Row& row : controlRows(files))
        s.check(row);

    // The handheld announces three records and sends the first, then nothing.
    const auto firstRecordOnly = [&](auto& s) {
        s.handheld.setAnswer("STA\r", QByteArray("0|3\r\n"));
        s.handheld.setAnswer("GET\r", records[0] + "\r\n");
    };
    // clang-format off
    s.check({"Data exchange", "LeseErfassungen", u"Read out records"_s, firstRecordOnly, kIdle,
             {{"STA\r"}, {"GET\r"}}, true, kDownload,
             {{kLog, records[0] + "\r\n"}}, std::nullopt});
    checkRefusedDuringDownload(s, files);
    // The operator's disconnect ends the transfer without a word and keeps the record that came.
    s.check({"", "Connect", u"Connected"_s, nullptr, kDownload,
             {{"DISCONNECT\r"}}, false, kIdle,
             {{"Connect", "Connect"}, {kFrames, "off off off off"}, {kBattery, "0"},
              {kRecordFile, recordFile.left(recordFile.indexOf('\n') + 1)}}, std::nullopt});
    // A handheld that does not answer the greeting: five attempts, the message, then the
    // disconnect.
    s.check({"", "Connect", u"Connect"_s,
             [](auto& s) { s.handheld.setAnswer("ONLINE\r", QByteArray()); }, kIdle,
             {{"ONLINE\r", 200}, {"ONLINE\r", 250}, {"ONLINE\r", 250}, {"ONLINE\r", 250},
              {"ONLINE\r", 250}, {"DISCONNECT\r", 50}}, true, kIdle,
             {{"Connect", "Connect"}, {kFrames, "off off off off"}, {kLog, "connecting...\r\n"}},
             Box{u"Device does not respond."_s, u"Error"_s, Icon::Error, Buttons::Ok}});
    // clang-format on
}

} // namespace
