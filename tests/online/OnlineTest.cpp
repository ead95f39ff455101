#include "online/BlockAccess.h"
#include "online/IdentificationReads.h"
#include "online/Peripherals.h"
#include "tests/support/ToolHarness.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class OnlineTest : public ::testing::Test {
protected:
    OnlineTest() {
        h.connect();
        h.port.clearWrites();
    }

    // The handheld answers each command with the given bytes.
    void answerWith(std::function<QByteArray(const QByteArray&)> answer) {
        h.port.setDevice([answer](const QByteArray& bytes) { return answer(bytes.chopped(1)); });
    }

    ToolHarness h;
    IdentificationReads& reads = h.set.identification;
    BlockAccess& blocks = h.set.blocks;
    Peripherals& peripherals = h.set.peripherals;
};

TEST_F(OnlineTest, TextBlockReadSendsOnlyThePiecesThatAreThere) {
    const QList<std::pair<QString, QString>> fields = {
        {u"5"_s, u"7"_s}, {u"5"_s, QString()}, {QString(), u"7"_s}, {u" "_s, QString()}};
    for (const auto& [from, to] : fields) {
        h.controls.type(Control::BlockAdress, from);
        h.controls.type(Control::BlockEndAdress, to);
        h.act([&] { blocks.readBlock(); });
    }
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"READ 5 7", "READ 5", "READ", "READ  "}));
}

TEST_F(OnlineTest, HexCommandsCarryTheKeyOnlyWhenOneIsTyped) {
    h.controls.type(Control::BlockAdress, u"4"_s);
    h.act([&] { blocks.readBlockHex(); });
    h.controls.type(Control::WriteData, u"0G"_s);
    h.act([&] { blocks.writeBlockHex(); });
    h.controls.type(Control::Key, QString());
    h.act([&] { blocks.readBlockHex(); });
    h.act([&] { blocks.writeBlockHex(); });
    EXPECT_EQ(h.port.sentLines(),
              (QList<QByteArray>{"BINREAD 4 3B7D1F5A9C2E", "BINWRITE 4 0G 3B7D1F5A9C2E",
                                 "BINREAD 4", "BINWRITE 4 0G"}));
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

TEST_F(OnlineTest, TextBlockWriteQuotesTheContentUnescaped) {
    h.controls.type(Control::BlockAdress, u"3"_s);
    h.controls.type(Control::WriteData, u"He said \"hi\""_s);
    h.act([&] { blocks.writeBlock(); });
    h.controls.type(Control::BlockAdress, QString());
    h.controls.type(Control::WriteData, QString());
    h.act([&] { blocks.writeBlock(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"WRITE 3 \"He said \"hi\"\"", "WRITE  \"\""}));
}

TEST_F(OnlineTest, HexChecksRefuseWithAMessageAndStillEmptyTheLog) {
    struct Case {
        QString block;
        QString data;
        QString message;
    };
    const QList<Case> cases = {{QString(), u"ABC"_s, u"No block selected!"_s},
                               {u"4"_s, u"ABC"_s, u"Data are not valid."_s},
                               {u"4"_s, QString(), u"Data are not valid."_s}};
    for (const Case& c : cases) {
        h.port.arrive("old\r\n");
        h.idle(1);
        h.controls.type(Control::BlockAdress, c.block);
        h.controls.type(Control::WriteData, c.data);
        h.boxes.clear();
        Outcome refused = Outcome::Done;
        h.act([&] { refused = blocks.writeBlockHex(); });
        EXPECT_EQ(refused, Outcome::InvalidInput);
        ASSERT_EQ(h.boxes.shown().size(), 1);
        EXPECT_EQ(h.boxes.shown().first().text, c.message);
        EXPECT_EQ(h.boxes.shown().first().title, u"Error"_s);
        EXPECT_EQ(h.boxes.shown().first().icon, MessageBoxes::Icon::Warning);
        EXPECT_TRUE(h.view.log().isEmpty());
    }
    h.controls.type(Control::BlockAdress, QString());
    Outcome refused = Outcome::Done;
    h.act([&] { refused = blocks.readBlockHex(); });
    EXPECT_EQ(refused, Outcome::InvalidInput);
    EXPECT_EQ(h.boxes.shown().last().text, u"No block selected!"_s);
    EXPECT_TRUE(h.port.written().isEmpty());
}

TEST_F(OnlineTest, PeripheralsSendTheirExactLines) {
    h.act([&] { peripherals.buzzer(); });
    h.act([&] { peripherals.keyboard(); });
    h.act([&] { peripherals.clearDisplay(); });
    h.act([&] { peripherals.showText(); });
    h.controls.type(Control::DisplayText, u"Hello"_s);
    for (const QString& line : {u"3"_s, u"12"_s, u"x"_s, QString()}) {
        h.controls.type(Control::DisplayZeile, line);
        h.act([&] { peripherals.showText(); });
    }
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"BEEP", "KEYBOARD", "CLS", "DISPLAY 1 \"\"",
                                                     "DISPLAY 3 \"Hello\"", "DISPLAY 12 \"Hello\"",
                                                     "DISPLAY x \"Hello\"", "DISPLAY  \"Hello\""}));
    h.idle(50);
    EXPECT_EQ(h.device.displayLine(3), "Hello");
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
}

TEST_F(OnlineTest, ALeadingNulIsDroppedOnceAndTheRestShownAsItCame) {
    const QList<std::pair<QByteArray, QByteArray>> cases = {
        {QByteArray("\0"
                    "0123",
                    5),
         "0123"},
        {QByteArray("\0", 1), ""},
        {" 982 0001", " 982 0001"},
        {QByteArray("\0\0a", 3), QByteArray("\0a", 2)}};
    for (const auto& [answer, shown] : cases) {
        answerWith([answer](const QByteArray&) { return answer + "\r\n"; });
        h.act([&] { reads.readId(); });
        h.idle(50);
        EXPECT_EQ(h.controls.text(Control::IDAnzeige), QString::fromLatin1(shown));
        EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    }
}

TEST_F(OnlineTest, OnlyTheFirstLineOfAnAnswerIsTheResult) {
    answerWith([](const QByteArray&) { return QByteArray("\r\n4006381333931\r\nsecond\r\n"); });
    h.act([&] { reads.scanBarcode(); });
    h.idle(50);
    EXPECT_EQ(h.port.sentLines(), QList<QByteArray>{"SCAN"});
    EXPECT_EQ(h.controls.text(Control::IDAnzeige), u"4006381333931"_s);
    EXPECT_EQ(h.view.zeile(), "second");
}

TEST_F(OnlineTest, ContinuousReadingRepeatsReadIdHalfASecondAfterEachResult) {
    h.controls.setChecked(Control::ReadCont, true);
    h.port.setLatency(30);
    h.act([&] { reads.scanBarcode(); });
    const qint64 start = h.clock.now();
    h.idle(1000);
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"SCAN", "READID", "READID"}));
    const auto& writes = h.port.writes();
    EXPECT_EQ(writes.at(1).at - writes.at(0).at, 530);
    EXPECT_EQ(writes.at(2).at - writes.at(1).at, 530);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::IdRead);

    // The operator unticks the box while the window sleeps in the next pause: the click waits,
    // that pause still ends in a READID, and the result of that one ends the cycle.
    h.clock.schedule(start + 1300, [&] {
        h.link.gate().deliver([&] { h.controls.setChecked(Control::ReadCont, false); });
    });
    h.idle(2000);
    EXPECT_EQ(h.port.sentLines().size(), 4);
    EXPECT_EQ(h.port.writes().last().at - start, 1590);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_FALSE(h.controls.text(Control::IDAnzeige).isEmpty());
}

TEST_F(OnlineTest, AReadDuringTheStatusChainTakesItsNextReply) {
    h.clickConnect();
    h.controls.pick(Control::Port, 0);
    h.clickConnect(); // the chain is started and its first query is out
    h.act([&] { reads.readId(); });
    h.idle(3000);
    EXPECT_EQ(h.controls.text(Control::IDAnzeige), u"TAGTYP:1"_s);
    EXPECT_EQ(h.port.sentLines().last(), "READID") << "the chain's next query is never sent";
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
}

TEST_F(OnlineTest, ASilentHandheldLeavesTheReadWaiting) {
    h.controls.setText(Control::IDAnzeige, u"earlier"_s);
    h.port.setDevice(nullptr);
    h.act([&] { reads.readId(); });
    h.idle(10000);
    EXPECT_EQ(h.controls.text(Control::IDAnzeige), u"earlier"_s);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::IdRead);
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

} // namespace
