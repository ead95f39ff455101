// The handheld's cable pulled at every stage of the work: the window ends up unconnected, says
// once what happened and what the loss cut short, and keeps every record that had arrived.

#include "tests/faults/FaultSession.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// What the handheld sends for a handshake answered at the second attempt and the whole status
// chain; a handshake answered at the first attempt sends one "Ok" less.
qsizetype chainBytes() {
    DeviceModel model;
    return model
        .receive("ONLINE\rONLINE\rTAGTYP\rOFF\rTIMEOUT\rGPSTIMEOUT\rFDXCODE\rENBEEP\rGPS\r"
                 "FUNCTION\rLANGUAGE\rAKKU\rVERSION\rSNR\r")
        .size();
}

QStringList unplugAfter(qsizetype bytes, const QStringList& more = {}) {
    return QStringList{u"--unplug-after"_s, QString::number(bytes)} + more;
}

class PulledDuringTheChain : public FaultSession {
protected:
    PulledDuringTheChain() : FaultSession(unplugAfter(40)) {}
};

TEST_F(PulledDuringTheChain, TheWindowIsUnconnectedAndSaysSoOnce) {
    click("Connect");
    ASSERT_TRUE(
        waitUntil([&] { return !tool.controls().isChecked(Control::Connect); }, kPatientMs));
    settle(300);
    ASSERT_EQ(boxes.shown().size(), 1) << boxTexts();
    EXPECT_TRUE(boxes.texts().first().contains(u"was lost"_s)) << boxTexts();
    EXPECT_TRUE(unconnected());
    EXPECT_EQ(tool.controls().text(Control::SNR), QString()) << "the chain never reached the end";
    EXPECT_EQ(tool.controls().value(Control::akku), 0);
}

class PulledDuringADownload : public FaultSession {
protected:
    static constexpr int kRecords = 2000;
    PulledDuringADownload()
        : FaultSession(unplugAfter(chainBytes() + QByteArray("0|2000\r\n").size() +
                                       DeviceModel::demoRecords(kRecords).join("\r\n").size() / 2,
                                   {u"--records"_s, QString::number(kRecords)})) {}
};

TEST_F(PulledDuringADownload, EveryRecordThatArrivedIsInTheClosedFile) {
    ASSERT_TRUE(connectAndWaitForChain());
    const QString records = path("records.csv");
    tool.controls().setText(Control::PfadSpeichern, records);
    click("LeseErfassungen");
    ASSERT_TRUE(
        waitUntil([&] { return !tool.controls().isChecked(Control::Connect); }, kPatientMs));
    settle(600); // a tick of the window's timer, which must add nothing

    ASSERT_EQ(boxes.shown().size(), 1) << boxTexts();
    const QString message = boxes.texts().first();
    const QRegularExpressionMatch counted =
        QRegularExpression(u"interrupted after (\\d+) of 2000 records"_s).match(message);
    ASSERT_TRUE(counted.hasMatch()) << message.toStdString();
    EXPECT_TRUE(message.contains(u"was lost"_s) && message.contains(records)) << boxTexts();

    const qsizetype received = counted.captured(1).toLongLong();
    EXPECT_GT(received, 0);
    EXPECT_LT(received, kRecords);
    EXPECT_EQ(readFile(records), recordFileOf(DeviceModel::demoRecords(kRecords), received))
        << "the file holds exactly the records the message counts, each complete";
    EXPECT_FALSE(tool.dataFile().isOpen());
    EXPECT_TRUE(unconnected());
}

class PulledDuringAnUpload : public FaultSession {
protected:
    // The cable goes in the middle of the acknowledgement of about the twentieth selection.
    PulledDuringAnUpload()
        : FaultSession(unplugAfter(chainBytes() + 20 * 4 + 1,
                                   {u"--dump"_s, QDir::tempPath() + u"/qv-faults-upload.txt"_s})) {}
    ~PulledDuringAnUpload() override {
        QFile::remove(QDir::tempPath() + u"/qv-faults-upload.txt"_s);
    }
};

TEST_F(PulledDuringAnUpload, TheMessageSaysHowFarTheUploadCame) {
    ASSERT_TRUE(connectAndWaitForChain());
    QList<QByteArray> lines;
    for (int n = 1; n <= 50; ++n)
        lines << "4711" + QByteArray::number(n) + ";Smith;A";
    writeFile(path("selections.csv"), lines.join("\r\n"));
    tool.controls().setText(Control::PfadLaden, path("selections.csv"));
    click("GeneriereDaten");
    ASSERT_TRUE(
        waitUntil([&] { return !tool.controls().isChecked(Control::Connect); }, kPatientMs));
    settle(300);

    ASSERT_EQ(boxes.shown().size(), 1) << boxTexts();
    const QString message = boxes.texts().first();
    const QRegularExpressionMatch stopped =
        QRegularExpression(u"stopped at selection (\\d+) of 50; the (\\d+) before it were sent"_s)
            .match(message);
    ASSERT_TRUE(stopped.hasMatch()) << message.toStdString();
    EXPECT_TRUE(message.contains(u"was lost"_s));
    const int sent = stopped.captured(2).toInt();
    EXPECT_EQ(stopped.captured(1).toInt(), sent + 1);
    EXPECT_GE(sent, 18);
    EXPECT_LE(sent, 21);
    EXPECT_FALSE(tool.dataFile().isOpen());
    EXPECT_TRUE(unconnected());

    // The handheld stored what the message calls sent, and perhaps the one it was answering.
    sim.stop();
    const QList<QByteArray> stored =
        readFile(QDir::tempPath() + u"/qv-faults-upload.txt"_s).split('\n');
    ASSERT_GE(stored.size(), sent);
    for (int i = 0; i < sent; ++i)
        EXPECT_EQ(stored.at(i), QByteArray(lines.at(i)).replace(';', '|'));
}

using PulledWhileIdle = FaultSession;

TEST_F(PulledWhileIdle, TheLossIsReportedAndAReconnectSaysTheDeviceIsGone) {
    ASSERT_TRUE(connectAndWaitForChain());
    sim.pullCable();
    ASSERT_TRUE(
        waitUntil([&] { return !tool.controls().isChecked(Control::Connect); }, kPatientMs));
    settle(300);
    ASSERT_EQ(boxes.shown().size(), 1) << boxTexts();
    EXPECT_TRUE(boxes.texts().first().contains(u"was lost"_s));
    EXPECT_TRUE(unconnected());

    click("Connect");
    ASSERT_EQ(boxes.shown().size(), 2) << boxTexts();
    EXPECT_TRUE(boxes.texts().last().contains(u"does not exist"_s)) << boxTexts();
    EXPECT_TRUE(unconnected());
}

} // namespace
