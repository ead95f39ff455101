#include "sim/DeviceModel.h"

#include "tests/sim/ByteArrayPrinter.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// One command line as the tool writes it: the text and a CR.
QByteArray send(DeviceModel& model, const QByteArray& command) {
    return model.receive(command + '\r');
}

QByteArray allStatus(DeviceModel& model) {
    return model.receive("TAGTYP\rOFF\rTIMEOUT\rGPSTIMEOUT\rFDXCODE\rENBEEP\rGPS\rFUNCTION\r"
                         "LANGUAGE\rAKKU\rVERSION\rSNR\r");
}

} // namespace

TEST(DeviceModel, AnswersTheTwelveStatusQueriesFromItsSettings) {
    DeviceModel model;
    EXPECT_EQ(send(model, "ONLINE"), "Ok\r\n");
    EXPECT_EQ(allStatus(model),
              "TAGTYP:1\r\nOFF:300\r\nTIMEOUT:20\r\nGPSTIMEOUT:30\r\nFDXCODE:2\r\n"
              "ENBEEP:1\r\nGPS:0\r\nFUNCTION:1,0\r\nLANGUAGE:1\r\nAKKU:87\r\n"
              "VERSION:V2.31 Sim\r\nSNR:AE012345\r\n");
    model.settings().battery = 12;
    EXPECT_EQ(send(model, "AKKU"), "AKKU:12\r\n");
}

TEST(DeviceModel, SetterChangesWhatTheNextQueryShows) {
    const struct {
        const char* setter;
        const char* query;
        const char* shown;
    } cases[] = {
        {"TAGTYP 3 ", "TAGTYP", "TAGTYP:3"},
        {"OFF aus", "OFF", "OFF:0"},
        {"OFF 120", "OFF", "OFF:120"},
        {"TIMEOUT 40", "TIMEOUT", "TIMEOUT:40"},
        {"GPSTIMEOUT 45", "GPSTIMEOUT", "GPSTIMEOUT:45"},
        {"FDXCODE 7 ", "FDXCODE", "FDXCODE:7"},
        {"ENBEEP  0", "ENBEEP", "ENBEEP:0"},
        {"GPS  1", "GPS", "GPS:1"},
        {"FUNCTION 4,3", "FUNCTION", "FUNCTION:4,3"},
        {"LANGUAGE 3 ", "LANGUAGE", "LANGUAGE:3"},
        {"SNR+123456", "SNR", "SNR:AE123456"},
    };
    for (const auto& c : cases) {
        DeviceModel model;
        EXPECT_EQ(send(model, c.setter), "Ok\r\n") << c.setter;
        EXPECT_EQ(send(model, c.query), QByteArray(c.shown) + "\r\n") << c.setter;
    }
}

TEST(DeviceModel, GpsAndTheTimeoutsAreSeparateSettings) {
    DeviceModel model;
    send(model, "GPSTIMEOUT 45");
    EXPECT_EQ(send(model, "GPS"), "GPS:0\r\n");
    send(model, "GPS  1");
    send(model, "TIMEOUT 5");
    EXPECT_EQ(model.receive("GPSTIMEOUT\rGPS\rTIMEOUT\r"),
              "GPSTIMEOUT:45\r\nGPS:1\r\nTIMEOUT:5\r\n");
}

TEST(DeviceModel, ArgumentNotUnderstoodIsAnErrorAndChangesNothing) {
    DeviceModel model;
    const QByteArray before = allStatus(model);
    for (const char* command :
         {"TAGTYP ", "TAGTYP 7 ", "TAGTYP x", "OFF AUS", "OFF ", "TIMEOUT 1234567890", "FDXCODE 0 ",
          "ENBEEP  2", "GPS  x", "FUNCTION 1", "FUNCTION ,", "FUNCTION 5,0", "LANGUAGE 4 ", "SNR+",
          "SNR+12", "SNR+1234567", "CLOCK 31.02.2024 10:00", "CLOCK 01.02.2024 24:00",
          "CLOCK 01.02.2024"})
        EXPECT_EQ(send(model, command), "Error\r\n") << command;
    EXPECT_EQ(allStatus(model), before);
    EXPECT_TRUE(model.settings().clock.isEmpty());

    EXPECT_EQ(send(model, "CLOCK 29.02.2024 23:59"), "Ok\r\n");
    EXPECT_EQ(model.settings().clock, "29.02.2024 23:59");
}

TEST(DeviceModel, CommandsEndAtCrWhateverTheyArriveIn) {
    DeviceModel model;
    EXPECT_EQ(model.receive("ONLI"), "");
    EXPECT_EQ(model.pendingInput(), "ONLI");
    EXPECT_EQ(model.receive("NE"), "");
    EXPECT_EQ(model.receive("\rTAG"), "Ok\r\n");
    EXPECT_EQ(model.receive("TYP\r\n"), "TAGTYP:1\r\n"); // the LF is dropped, not a command

    QByteArray replies;
    for (const char c : QByteArray("S\nTA\rGPS\r"))
        replies += model.receive(QByteArray(1, c));
    EXPECT_EQ(replies, "0|10\r\nGPS:0\r\n");
    EXPECT_EQ(model.commands(), (QList<QByteArray>{"ONLINE", "TAGTYP", "STA", "GPS"}));
}

TEST(DeviceModel, OverlongCommandIsRefusedWithoutHarmingTheNext) {
    DeviceModel model;
    const QByteArray huge(DeviceModel::kMaxCommandLength + 10, 'A');
    EXPECT_EQ(model.receive(huge), "");
    EXPECT_EQ(model.receive("\rONLINE\r"), "Error\r\nOk\r\n");
    EXPECT_EQ(model.selections().size(), 0);
}

TEST(DeviceModel, CountsAndSendsItsRecords) {
    DeviceModel model(DeviceModel::Options{3, 100, 12});
    EXPECT_EQ(send(model, "STA"), "12|3\r\n");
    const QList<QByteArray> records = DeviceModel::demoRecords(3);
    EXPECT_EQ(send(model, "GET"), records.join("\r\n") + "\r\n");

    EXPECT_EQ(send(model, "DEL E"), "Ok\r\n");
    EXPECT_EQ(send(model, "STA"), "12|0\r\n");
    EXPECT_EQ(send(model, "GET"), "");
}

TEST(DeviceModel, DemoRecordsAreDeterministicPlausibleAndDistinct) {
    const QList<QByteArray> records = DeviceModel::demoRecords(500);
    ASSERT_EQ(records.size(), 500);
    EXPECT_EQ(records, DeviceModel::demoRecords(500));
    const QRegularExpression shape(
        QStringLiteral("^(\\d+)\\|[0-9A-F]{8}\\|(0[1-9]|[12]\\d)\\.(0[1-9]|1[0-2])\\.20\\d\\d,"
                       "([01]\\d|2[0-3]):[0-5]\\d$"));
    for (int i = 0; i < records.size(); ++i) {
        const auto match = shape.match(QString::fromLatin1(records.at(i)));
        ASSERT_TRUE(match.hasMatch()) << records.at(i).constData();
        EXPECT_EQ(match.captured(1).toInt(), i + 1);
    }
    EXPECT_NE(records.at(0).mid(records.at(0).indexOf('|')), // more than the number varies
              records.at(1).mid(records.at(1).indexOf('|')));
}

TEST(DeviceModel, LargestDownloadIsProducedQuickly) {
    QElapsedTimer clock;
    clock.start();
    DeviceModel model(DeviceModel::Options{32767, 100, 0});
    const QByteArray all = send(model, "GET");
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(all.count("\r\n"), 32767);
    EXPECT_GT(all.size(), 1'000'000); // about a megabyte
    EXPECT_LT(all.size(), 1'100'000);
}

TEST(DeviceModel, StoresSelectionsVerbatimUpToItsCapacity) {
    DeviceModel model(DeviceModel::Options{0, 3, 0});
    const QByteArray eightBit("4711|M\xfcller|A\0B", 15);
    EXPECT_EQ(model.receive("PUT " + eightBit + '\r'), "Ok\r\n");
    EXPECT_EQ(send(model, "PUT "), "Ok\r\n");
    EXPECT_EQ(send(model, "PUT  x;y "), "Ok\r\n");
    EXPECT_EQ(send(model, "PUT 4"), "Memory full\r\n");
    EXPECT_EQ(model.selections(), (QList<QByteArray>{eightBit, "", " x;y "}));
    EXPECT_EQ(send(model, "REC"), eightBit + "\r\n\r\n x;y \r\n");

    EXPECT_EQ(send(model, "DEL T"), "Ok\r\n");
    EXPECT_EQ(send(model, "REC"), "");
    EXPECT_EQ(send(model, "PUT 4"), "Ok\r\n");
}

TEST(DeviceModel, BlocksWrittenAsTextOrHexReadBackBothWays) {
    DeviceModel model;
    EXPECT_EQ(send(model, "READ 5"), QByteArray("5:\0\0\0\0\r\n", 8));
    EXPECT_EQ(send(model, "WRITE 5 \"Hi \"x\""), "Ok\r\n");
    EXPECT_EQ(send(model, "READ 5"), "5:Hi \"x\r\n");
    EXPECT_EQ(send(model, "BINWRITE 6 0a1B 3B7D1F5A9C2E"), "Ok\r\n");
    EXPECT_EQ(send(model, "BINREAD 6 3B7D1F5A9C2E"), "0A1B\r\n");
    EXPECT_EQ(send(model, "BINREAD 5"), "4869202278\r\n"); // "Hi \"x" as hex
    EXPECT_EQ(send(model, "READ 5 6").count("\r\n"), 2);

    for (const char* bad : {"BINWRITE 6 0G", "BINWRITE 6 ABC", "BINWRITE 6", "WRITE  \"\"",
                            "WRITE 5 Hello", "READ 6 5", "READ  ", "READ 0 200", "BINREAD 999"})
        EXPECT_EQ(send(model, bad), "Error\r\n") << bad;
    EXPECT_EQ(model.blocks().value(6), QByteArray::fromHex("0A1B"));
}

TEST(DeviceModel, DrivesDisplayBuzzerAndKeyboard) {
    DeviceModel model;
    EXPECT_EQ(send(model, "DISPLAY 3 \"Hello\""), "Ok\r\n");
    EXPECT_EQ(send(model, "DISPLAY 1 \"\""), "Ok\r\n");
    EXPECT_EQ(model.displayLine(3), "Hello");
    for (const char* bad : {"DISPLAY x \"Hi\"", "DISPLAY 9 \"Hi\"", "DISPLAY  \"Hi\""})
        EXPECT_EQ(send(model, bad), "Error\r\n") << bad;
    EXPECT_EQ(model.receive("CLS\rBEEP\rKEYBOARD\r"), "Ok\r\nOk\r\nOk\r\n");
    EXPECT_TRUE(model.display().isEmpty());
    EXPECT_EQ(model.beeps(), 1);
}

TEST(DeviceModel, ReadsIdentificationsAndBarcodesInTurn) {
    DeviceModel model;
    const QByteArray first = send(model, "READID");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{3} \\d{12}\\r\\n$"))
                    .match(QString::fromLatin1(first))
                    .hasMatch());
    EXPECT_NE(send(model, "READID"), first);
    EXPECT_EQ(send(model, "SCAN"), "4006381333931\r\n");
}

TEST(DeviceModel, AnythingElseIsAnError) {
    DeviceModel model;
    for (const char* command : {"", "HELLO", "online", "PUT", "DEL X", "DEL", "TAGTYP:1", "SNR 1"})
        EXPECT_EQ(send(model, command), "Error\r\n") << command;
}
