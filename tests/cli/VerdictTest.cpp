#include "cli/Verdict.h"

#include "cli/ExitCode.h"
#include "tests/exchange/ExchangeFixture.h"

using namespace Qt::StringLiterals;

namespace {

// The outcomes the window's handlers really give, on the simulated handheld, and the exit status
// the command line makes of them.
class VerdictTest : public ExchangeFixture {
protected:
    VerdictTest() : ExchangeFixture({.records = 10, .capacity = 2, .customCodes = 0}) {}

    // How the download ended: what start() gave, else how its transfer ended.
    int downloadVerdict(Outcome started) const {
        const bool cutShort =
            download.announced() > 0 && download.received() < download.announced();
        return Verdict::of(started == Outcome::Done ? download.transferOutcome() : started,
                           cutShort);
    }
    std::string shown() const { return h.boxes.texts().join(u" | "_s).toStdString(); }

    // Disconnects, then connects again to a handheld that behaves as the device function says
    // (already to the goodbye, whose answer the next greeting would read).
    void reconnect(const SimulatedPort::Device& device) {
        h.port.setDevice(device);
        if (h.controls.isChecked(Control::Connect))
            h.clickConnect();
        h.idle(100);
        h.boxes.clear();
        h.clickConnect();
        h.idle(5000);
    }
};

TEST_F(VerdictTest, DownloadEndings) {
    struct Case {
        const char* name;
        QMap<QByteArray, QByteArray> replies;
        QString path; // empty: the usual record file
        int expected;
    };
    QList<QByteArray> three = DeviceModel::demoRecords(3);
    const Case cases[] = {
        {"all records arrive", {}, {}, ExitCode::kSuccess},
        {"no records present", {{"STA", "0|0\r\n"}}, {}, ExitCode::kSuccess},
        {"the count is not answered", {{"STA", ""}}, {}, ExitCode::kNoAnswer},
        {"a count no counter takes",
         {{"STA", "0|99999999999999999999\r\n"}},
         {},
         ExitCode::kFailure},
        {"three of ten records arrive",
         {{"GET", three.join("\r\n") + "\r\n"}},
         {},
         ExitCode::kIncomplete},
        {"the record file cannot be made",
         {},
         dir.filePath(u"missing/records.csv"_s),
         ExitCode::kFile},
        // The download stops short here too, yet the cause is the file.
        {"the disk is full", {}, u"/dev/full"_s, ExitCode::kFile},
    };
    for (const Case& c : cases) {
        answer(c.replies);
        h.controls.setText(Control::PfadSpeichern, c.path.isEmpty() ? recordPath() : c.path);
        h.boxes.clear();
        Outcome started = Outcome::Done;
        h.act([&] { started = download.start(); });
        h.idle(RecordDownload::kStallMs + 1000);
        EXPECT_FALSE(download.transferring()) << c.name;
        EXPECT_EQ(downloadVerdict(started), c.expected) << c.name << ": " << shown();
    }
}

TEST_F(VerdictTest, ACablePulledDuringTheDownloadIsATransferCutShort) {
    answer({{"GET", DeviceModel::demoRecords(10).mid(0, 4).join("\r\n") + "\r\n"}});
    Outcome started = Outcome::NoAnswer;
    h.act([&] { started = download.start(); });
    h.idle(100);
    h.port.pull();
    h.idle(100);
    ASSERT_EQ(started, Outcome::Done);
    EXPECT_EQ(download.transferOutcome(), Outcome::PortLost);
    EXPECT_EQ(downloadVerdict(started), ExitCode::kIncomplete) << shown();
}

TEST_F(VerdictTest, UploadEndings) {
    const struct {
        const char* name;
        QByteArray file; // nullptr: no file
        QMap<QByteArray, QByteArray> replies;
        int expected;
    } cases[] = {
        {"every selection stored", "a;1\r\nb;2\r\n", {}, ExitCode::kSuccess},
        {"the memory fills up", "a;1\r\nb;2\r\nc;3\r\n", {}, ExitCode::kIncomplete},
        {"a selection is never acknowledged", "a;1\r\n", {{"PUT a|1", ""}}, ExitCode::kIncomplete},
        {"the selection file is missing", QByteArray(), {}, ExitCode::kFile},
    };
    for (const auto& c : cases) {
        h.device.setSelections({});
        answer(c.replies);
        QFile::remove(selectionPath());
        if (!c.file.isNull())
            writeSelections(c.file);
        h.boxes.clear();
        Outcome outcome = Outcome::Done;
        h.act([&] { outcome = upload.start(); });
        EXPECT_EQ(Verdict::of(outcome), c.expected) << c.name << ": " << shown();
    }
}

// The buttons that end silently when their line cannot be written still tell the window's
// wiring how they ended.
TEST_F(VerdictTest, ButtonEndings) {
    enum class Port { Open, Pulled, Closed };
    const struct {
        const char* name;
        Control button;
        QString serialNumber;
        Port port;
        Outcome outcome;
        int expected;
    } cases[] = {
        {"a buzzer that sounds",
         Control::Buzzer,
         {},
         Port::Open,
         Outcome::Done,
         ExitCode::kSuccess},
        {"a serial number without its prefix", Control::SetSnr, u"XE012345"_s, Port::Open,
         Outcome::InvalidInput, ExitCode::kFailure},
        {"a mode written as the cable is pulled",
         Control::BetriebsartSetzen,
         {},
         Port::Pulled,
         Outcome::PortLost,
         ExitCode::kNoAnswer},
        {"a tag type on a closed port",
         Control::TagSetzen,
         {},
         Port::Closed,
         Outcome::PortFailure,
         ExitCode::kPort},
        {"time-outs on a closed port",
         Control::ReadtimeoutSetzen,
         {},
         Port::Closed,
         Outcome::PortFailure,
         ExitCode::kPort},
        {"a block read on a closed port",
         Control::ReadBlock,
         {},
         Port::Closed,
         Outcome::PortFailure,
         ExitCode::kPort},
        {"a read on a closed port",
         Control::ReadId,
         {},
         Port::Closed,
         Outcome::PortFailure,
         ExitCode::kPort},
        {"a beep on a closed port",
         Control::Buzzer,
         {},
         Port::Closed,
         Outcome::PortFailure,
         ExitCode::kPort},
    };
    for (const auto& c : cases) {
        h.controls.setText(Control::SNR, c.serialNumber);
        h.port.failWrites(c.port == Port::Pulled);
        if (c.port == Port::Closed)
            h.port.close();
        h.boxes.clear();
        h.controls.press(c.button);
        h.idle(600);
        EXPECT_EQ(h.set.pressed(), c.outcome) << c.name << ": " << shown();
        EXPECT_EQ(Verdict::of(h.set.pressed()), c.expected) << c.name;
    }
}

TEST_F(VerdictTest, ConnectAndStatusEndings) {
    reconnect([](const QByteArray&) { return QByteArray(); });
    EXPECT_EQ(h.set.toggled(), Outcome::NoAnswer) << "silent: " << shown();
    EXPECT_EQ(Verdict::of(h.set.toggled()), ExitCode::kNoAnswer);

    h.port.failOpen(u"You may not open /dev/ttySIM1 (COM1)."_s);
    reconnect([this](const QByteArray& bytes) { return h.device.receive(bytes); });
    EXPECT_EQ(Verdict::of(h.set.toggled()), ExitCode::kPort) << shown();
    h.port.failOpen(QString());

    // A reported value that fits no list position stops the status queries with a message.
    reconnect([this](const QByteArray& bytes) {
        return bytes == "TAGTYP\r" ? QByteArray("TAGTYP:99999\r\n") : h.device.receive(bytes);
    });
    ASSERT_TRUE(h.controls.isChecked(Control::Connect));
    EXPECT_EQ(h.set.toggled(), Outcome::Done);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::StatusChain) << "the status queries stopped";
    EXPECT_TRUE(h.chain.stoppedShort()) << shown();
}

} // namespace
