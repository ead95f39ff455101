// Handhelds that misbehave on the line: silent, late, in pieces, with garbage, or flooding it.

#include "tests/faults/FaultSession.h"

#include <QTextDocument>

using namespace Qt::StringLiterals;

// The simulator's options, as a failing test names them.
void PrintTo(const QStringList& options, std::ostream* out) {
    *out << options.join(u' ').toStdString();
}

namespace {

class SilentHandheld : public FaultSession {
protected:
    SilentHandheld() : FaultSession({u"--silent"_s}) {}
};

TEST_F(SilentHandheld, TheHandshakeGivesUpWithItsMessage) {
    click("Connect");
    ASSERT_EQ(boxes.shown().size(), 1) << boxTexts();
    EXPECT_EQ(boxes.shown().first().text, u"Device does not respond."_s);
    EXPECT_EQ(boxes.shown().first().title, u"Error"_s);
    EXPECT_EQ(boxes.shown().first().icon, MessageBoxes::Icon::Error);
    EXPECT_TRUE(unconnected());
}

// A handheld with one fault does every job all the same: the status chain, a read, the
// statistics, a download, an upload and the disconnect.
class FaultyButWorking : public FaultSession, public ::testing::WithParamInterface<QStringList> {
protected:
    static constexpr int kRecords = 20;
    FaultyButWorking() : FaultSession(GetParam() + QStringList{u"--records"_s, u"20"_s}) {}
};

TEST_P(FaultyButWorking, EveryJobGetsDone) {
    ASSERT_TRUE(connectAndWaitForChain(20000));
    Controls& c = tool.controls();
    EXPECT_EQ(c.value(Control::akku), 87);
    EXPECT_EQ(c.text(Control::Version), u"V2.31 Sim"_s);
    EXPECT_EQ(c.text(Control::Sprache), u"1 - English"_s);
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxTexts();

    DeviceModel model;
    const QByteArray identification = model.receive("READID\r").chopped(2);
    click("ReadId");
    ASSERT_TRUE(
        waitUntil([&] { return c.text(Control::IDAnzeige) == QString::fromLatin1(identification); },
                  kPatientMs))
        << logText();
    EXPECT_EQ(tool.link().replyMode(), ReplyMode::Idle);
    if (GetParam().contains(u"--garbage"_s)) {
        ASSERT_TRUE(
            waitUntil([&] { return tool.window().log().text().contains('\0'); }, kPatientMs));
        EXPECT_TRUE(tool.window().log().text().contains('\xe9')) << "8-bit bytes reach the log";
    }

    click("Statistik");
    EXPECT_EQ(c.text(Control::OutStatistik), u"Custom codes: 0, records: 20"_s) << logText();

    c.setText(Control::PfadSpeichern, path("records.csv"));
    click("LeseErfassungen");
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown().isEmpty(); }, kPatientMs));
    EXPECT_EQ(boxes.texts(), QStringList{u"Transfer of records finished."_s});
    EXPECT_EQ(readFile(path("records.csv")),
              recordFileOf(DeviceModel::demoRecords(kRecords), kRecords));

    boxes.clear();
    writeFile(path("selections.csv"), "4711;Smith;A\r\n4712;Jones;B\r\n4713;Brown;C\r\n");
    c.setText(Control::PfadLaden, path("selections.csv"));
    click("GeneriereDaten");
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxTexts();
    EXPECT_TRUE(tool.window().log().text().startsWith("Dataset  3 - Ok")) << logText();

    click("Connect");
    settle(200);
    EXPECT_TRUE(unconnected());
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxTexts();
}

std::string faultName(const ::testing::TestParamInfo<QStringList>& info) {
    return info.param.first().mid(2).replace(u'-', u'_').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Handhelds, FaultyButWorking,
                         ::testing::Values(QStringList{u"--latency"_s, u"200"_s},
                                           QStringList{u"--split-every"_s},
                                           QStringList{u"--garbage"_s}),
                         faultName);

// "READID" is answered with more bytes than any line may hold, and no line end.
class FloodingHandheld : public FaultSession {
protected:
    static constexpr qsizetype kFlood = 3 * 1024 * 1024;
    FloodingHandheld() : FaultSession({u"--flood"_s, QString::number(kFlood)}) {}
};

TEST_F(FloodingHandheld, MemoryStaysBoundedAndTheNextLineIsUnderstood) {
    ASSERT_TRUE(connectAndWaitForChain());
    click("ReadId");
    const TrafficLog& log = tool.window().log();
    ASSERT_TRUE(waitUntil([&] { return log.text().size() >= kFlood; }, kPatientMs))
        << log.text().size() << " bytes logged";
    settle(100);

    const qsizetype limit = ReceiveBuffer::kMaxLineBytes;
    EXPECT_EQ(tool.link().receiveBuffer().pendingSize(), kFlood - 2 * limit)
        << "two pieces of the longest line were handed on, the rest waits for a line end";
    EXPECT_LE(log.lineCount(), 40000);
    QByteArray flood(kFlood, Qt::Uninitialized);
    for (qsizetype i = 0; i < kFlood; ++i)
        flood[i] = static_cast<char>(i & 0xff);
    EXPECT_EQ(log.text(), flood) << "every byte reaches the log";
    // The first piece was taken as the identification, its leading NUL dropped.
    EXPECT_EQ(tool.controls().text(Control::IDAnzeige).left(3), QString::fromLatin1("\1\2\3", 3));
    EXPECT_EQ(tool.link().replyMode(), ReplyMode::Idle);

    click("Buzzer");
    ASSERT_TRUE(
        waitUntil([&] { return tool.controls().text(Control::Zeile) == u"Ok"_s; }, kPatientMs))
        << "the flood's rest is one more piece, then the answer counts again";
    EXPECT_EQ(tool.link().receiveBuffer().pendingSize(), 0);
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxTexts();
}

} // namespace
