#include "tests/support/ToolHarness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using namespace Qt::StringLiterals;

namespace {

QList<qint64> timesOf(const SimulatedPort& port, const QByteArray& line) {
    QList<qint64> times;
    for (const auto& write : port.writes())
        if (write.bytes == line + '\r')
            times << write.at;
    return times;
}

bool framesEnabled(const FakeControls& controls) {
    return controls.isEnabled(Control::FrameOnline) && controls.isEnabled(Control::FrameControls) &&
           controls.isEnabled(Control::FrameConfig) &&
           controls.isEnabled(Control::FrameUebertragen);
}

bool framesDisabled(const FakeControls& controls) {
    return !controls.isEnabled(Control::FrameOnline) &&
           !controls.isEnabled(Control::FrameControls) &&
           !controls.isEnabled(Control::FrameConfig) &&
           !controls.isEnabled(Control::FrameUebertragen);
}

TEST(ConnectTest, PromptHandheldIsAcceptedAtTheSecondAttemptAndFillsTheWindow) {
    ToolHarness h;
    h.controls.pick(Control::Port, 0);
    h.clickConnect();
    // Each "Ok" is read by the next attempt: attempt 2 at 450 ms, then 1000 ms until the chain.
    EXPECT_EQ(timesOf(h.port, "ONLINE"), (QList<qint64>{200, 450}));
    EXPECT_EQ(timesOf(h.port, "TAGTYP"), QList<qint64>{1450});
    EXPECT_EQ(h.link.replyMode(), ReplyMode::StatusChain);
    EXPECT_EQ(h.controls.text(Control::Connect), u"Connected"_s);
    EXPECT_TRUE(framesEnabled(h.controls));

    h.idle(3000);
    EXPECT_EQ(
        h.port.sentLines(),
        (QList<QByteArray>{"ONLINE", "ONLINE", "TAGTYP", "OFF", "TIMEOUT", "GPSTIMEOUT", "FDXCODE",
                           "ENBEEP", "GPS", "FUNCTION", "LANGUAGE", "AKKU", "VERSION", "SNR"}));
    // Each query goes out 100 ms after the reply to the one before (the handheld takes 5 ms).
    EXPECT_EQ(timesOf(h.port, "OFF"), QList<qint64>{1555});
    EXPECT_EQ(timesOf(h.port, "SNR"), QList<qint64>{1450 + 11 * 105});
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);

    EXPECT_EQ(h.controls.text(Control::Tagtyp), u"1 - FDX-B"_s);
    EXPECT_EQ(h.controls.text(Control::Offtime), u"300"_s);
    EXPECT_TRUE(h.controls.isEnabled(Control::Offtime));
    EXPECT_FALSE(h.controls.isChecked(Control::Check_Offtime));
    EXPECT_EQ(h.controls.text(Control::Readtimeout), u"20"_s);
    EXPECT_EQ(h.controls.text(Control::gpstimeout), u"30"_s);
    EXPECT_EQ(h.controls.text(Control::FDXCode), u"2 - ISO animal"_s);
    EXPECT_TRUE(h.controls.isChecked(Control::EnBeeper));
    EXPECT_FALSE(h.controls.isChecked(Control::EnGPS));
    EXPECT_EQ(h.controls.text(Control::Betriebsart), u"1 - Verheiraten (V)"_s);
    EXPECT_EQ(h.controls.text(Control::Order), u"0 - beliebig"_s);
    EXPECT_EQ(h.controls.text(Control::Sprache), u"1 - English"_s);
    EXPECT_EQ(h.controls.value(Control::akku), 87);
    EXPECT_EQ(h.controls.text(Control::Version), u"V2.31 Sim"_s);
    EXPECT_EQ(h.controls.text(Control::SNR), u"AE012345"_s);
    // The handshake's own reads never reach the log; the late "Ok" does, and is dropped.
    EXPECT_TRUE(h.view.log().startsWith("connecting...\r\nOk\r\nTAGTYP:1\r\n"));
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

TEST(ConnectTest, AnOkWhoseLineFeedComesLateDoesNotStopTheStatusChain) {
    ToolHarness h;
    // The greeting's answer is read between its CR and its LF; the LF follows during the pause.
    int greetings = 0;
    h.port.setDevice([&](const QByteArray& bytes) -> QByteArray {
        if (bytes != "ONLINE\r")
            return h.device.receive(bytes);
        if (++greetings > 1)
            return {};
        h.port.arriveAt(h.clock.now() + 600, "\n");
        return "Ok\r";
    });
    h.connect();
    EXPECT_EQ(h.controls.text(Control::SNR), u"AE012345"_s) << h.view.log().toStdString();
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_TRUE(h.view.log().startsWith("connecting...\r\nTAGTYP:"))
        << "the end of the greeting's line was shown: " << h.view.log().toStdString();
}

TEST(ConnectTest, SilentHandheldIsGivenUpAfterFiveAttempts) {
    ToolHarness h;
    h.port.setDevice(nullptr);
    h.controls.pick(Control::Port, 2);
    h.clickConnect();
    EXPECT_EQ(timesOf(h.port, "ONLINE"), (QList<qint64>{200, 450, 700, 950, 1200}));
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_EQ(h.boxes.shown().first().text, u"Device does not respond."_s);
    EXPECT_EQ(h.boxes.shown().first().title, u"Error"_s);
    EXPECT_EQ(h.boxes.shown().first().icon, MessageBoxes::Icon::Error);
    // The uncheck runs the toggle again, which says goodbye and closes the port.
    EXPECT_EQ(h.port.sentLines().last(), "DISCONNECT");
    EXPECT_EQ(h.port.portNumber(), 3);
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_FALSE(h.controls.isChecked(Control::Connect));
    EXPECT_EQ(h.controls.text(Control::Connect), u"Connect"_s);
    EXPECT_TRUE(framesDisabled(h.controls));
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_FALSE(h.toggle.suppressingNextClick());
}

TEST(ConnectTest, AnAnswerThatDoesNotBeginWithOkFailsItsAttempt) {
    ToolHarness h;
    int onlines = 0;
    h.port.setDevice([&](const QByteArray& bytes) -> QByteArray {
        if (bytes == "ONLINE\r")
            return ++onlines == 1 ? "xOk\r\n" : "Ok\r\n";
        return h.device.receive(bytes);
    });
    h.connect();
    EXPECT_EQ(timesOf(h.port, "ONLINE"), (QList<qint64>{200, 450, 700}));
    EXPECT_EQ(h.controls.text(Control::SNR), u"AE012345"_s);
}

// The handheld answers the given queries with the given replies, and the rest as it would.
void answer(ToolHarness& h, const QMap<QByteArray, QByteArray>& replies) {
    h.port.setDevice([&h, replies](const QByteArray& bytes) -> QByteArray {
        const QByteArray command = bytes.chopped(1);
        if (replies.contains(command))
            return replies.value(command) + "\r\n";
        return h.device.receive(bytes);
    });
}

// The desktop's language writes numbers with a decimal comma; the locale is made into a folder
// of the test's own when the machine lacks it.
class GermanNumbers {
public:
    GermanNumbers() {
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
            const QByteArray made = m_dir.filePath(u"de_DE.UTF-8"_s).toLocal8Bit();
            if (std::system(("localedef -i de_DE -f UTF-8 " + made + " 2>/dev/null").constData()) >=
                0)
                qputenv("LOCPATH", m_dir.path().toLocal8Bit());
            std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
        }
    }
    ~GermanNumbers() {
        std::setlocale(LC_NUMERIC, "C");
        qunsetenv("LOCPATH");
    }
    GermanNumbers(const GermanNumbers&) = delete;
    GermanNumbers& operator=(const GermanNumbers&) = delete;
    bool active() const { return std::string(std::localeconv()->decimal_point) == ","; }

private:
    QTemporaryDir m_dir;
};

TEST(ConnectTest, StatusValuesAreDecodedAsTheHandheldMeansThemInEveryLanguage) {
    const GermanNumbers german;
    ASSERT_TRUE(german.active()) << "no German locale: install the package locales";
    ToolHarness h;
    answer(h, {{"TAGTYP", "TAGTYP:2.5"},
               {"OFF", "OFF:05"},
               {"FDXCODE", "FDXCODE:0"},
               {"ENBEEP", "ENBEEP:abc"},
               {"GPS", "GPS:2"},
               {"FUNCTION", "FUNCTION:4,3"},
               {"LANGUAGE", "LANGUAGE:  2.6"},
               {"VERSION", "VERSION: 2.31 \xe4"}});
    h.controls.pick(Control::FDXCode, 3);
    h.connect();
    EXPECT_EQ(h.controls.currentIndex(Control::Tagtyp), 2) << "a half rounds to the even neighbour";
    EXPECT_EQ(h.controls.text(Control::Offtime), u"aus"_s);
    EXPECT_FALSE(h.controls.isEnabled(Control::Offtime));
    EXPECT_TRUE(h.controls.isChecked(Control::Check_Offtime));
    EXPECT_EQ(h.controls.currentIndex(Control::FDXCode), -1);
    EXPECT_FALSE(h.controls.isChecked(Control::EnBeeper));
    EXPECT_TRUE(h.controls.isChecked(Control::EnGPS));
    EXPECT_EQ(h.controls.text(Control::Betriebsart), u"4 - Leerung mit Info (EI)"_s);
    EXPECT_EQ(h.controls.text(Control::Order), u"3 - Transponder - Transponder"_s);
    EXPECT_EQ(h.controls.text(Control::Sprache), u"3 - Polski"_s)
        << "a decimal point in any language";
    EXPECT_EQ(h.controls.text(Control::Version), u" 2.31 \u00e4"_s);
}

TEST(ConnectTest, ValuesAControlCannotShowLeaveItAndTheChainGoesOn) {
    ToolHarness h;
    answer(h, {{"TAGTYP", "TAGTYP:9"}, {"AKKU", "AKKU:150"}});
    h.controls.pick(Control::Tagtyp, 4);
    h.controls.setValue(Control::akku, 33);
    h.connect();
    EXPECT_EQ(h.controls.currentIndex(Control::Tagtyp), 4);
    EXPECT_EQ(h.controls.value(Control::akku), 33);
    EXPECT_EQ(timesOf(h.port, "VERSION").size(), 1);
    EXPECT_EQ(h.controls.text(Control::SNR), u"AE012345"_s);
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

TEST(ConnectTest, APositionPastSixteenBitsStopsTheChainWithAMessage) {
    ToolHarness h;
    // Status lines that came in the same read are only logged: the chain stops as it says.
    answer(h, {{"FDXCODE", "FDXCODE:40000\r\nENBEEP:0"}});
    h.controls.setChecked(Control::EnBeeper, true);
    h.connect();
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.shown().first().text.contains(u"40000"_s));
    EXPECT_EQ(h.port.sentLines().last(), "FDXCODE");
    EXPECT_TRUE(h.controls.isChecked(Control::EnBeeper));
    EXPECT_TRUE(h.view.log().endsWith("ENBEEP:0\r\n"));
    EXPECT_EQ(h.link.replyMode(), ReplyMode::StatusChain);
}

TEST(ConnectTest, AReplyWithNothingAfterItsColonLeavesTheChainWaiting) {
    ToolHarness h;
    answer(h, {{"GPS", "GPS:"}});
    h.connect();
    EXPECT_EQ(h.port.sentLines().last(), "GPS");
    EXPECT_EQ(h.link.replyMode(), ReplyMode::StatusChain);
    EXPECT_TRUE(h.boxes.shown().isEmpty());
    // A matching reply that comes later still continues it.
    h.port.arrive("GPS:1\r\n");
    h.idle(2000);
    EXPECT_EQ(h.controls.text(Control::SNR), u"AE012345"_s);
}

TEST(ConnectTest, DisconnectResetsTheConnectionAndKeepsWhatWasShown) {
    ToolHarness h;
    h.connect();
    h.clickConnect();
    EXPECT_EQ(h.port.sentLines().last(), "DISCONNECT");
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_TRUE(framesDisabled(h.controls));
    EXPECT_EQ(h.controls.text(Control::Connect), u"Connect"_s);
    EXPECT_EQ(h.controls.value(Control::akku), 0);
    EXPECT_EQ(h.controls.text(Control::Version), u"V2.31 Sim"_s);
    EXPECT_EQ(h.controls.text(Control::SNR), u"AE012345"_s);
    EXPECT_EQ(h.controls.text(Control::Readtimeout), u"20"_s);
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

TEST(ConnectTest, DisconnectDuringTheChainStopsIt) {
    ToolHarness h;
    h.controls.pick(Control::Port, 0);
    h.clickConnect();
    h.idle(300); // a few replies handled
    h.clickConnect();
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    const qsizetype sent = h.port.sentLines().size();
    h.idle(3000);
    EXPECT_EQ(h.port.sentLines().size(), sent);
    EXPECT_EQ(h.port.sentLines().last(), "DISCONNECT");
}

TEST(ConnectTest, NoPortChosenIsExplainedAndTheNextClickStillCounts) {
    ToolHarness h;
    h.clickConnect();
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_EQ(h.boxes.shown().first().title, u"QuorvelinoTool"_s);
    EXPECT_FALSE(h.controls.isChecked(Control::Connect));
    EXPECT_EQ(h.port.openCount(), 0);
    EXPECT_FALSE(h.toggle.suppressingNextClick());

    h.controls.pick(Control::Port, 0);
    h.clickConnect();
    h.idle(3000);
    EXPECT_TRUE(h.controls.isChecked(Control::Connect));
    EXPECT_EQ(h.controls.text(Control::SNR), u"AE012345"_s);
}

TEST(ConnectTest, APortThatWillNotOpenShowsWhyAndNothingElseChanges) {
    ToolHarness h;
    h.port.failOpen(u"COM1 is in use by another program: minicom (process 42)."_s);
    h.controls.pick(Control::Port, 0);
    h.clickConnect();
    EXPECT_EQ(h.boxes.texts(),
              QStringList{u"COM1 is in use by another program: minicom (process 42)."_s});
    EXPECT_FALSE(h.controls.isChecked(Control::Connect));
    EXPECT_TRUE(framesDisabled(h.controls));
    EXPECT_TRUE(h.port.written().isEmpty());
}

TEST(ConnectTest, ACablePulledDuringTheHandshakeIsReportedAsTheLossItIs) {
    ToolHarness h;
    h.port.failWrites();
    h.controls.pick(Control::Port, 0);
    h.clickConnect();
    h.idle(100);
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_EQ(h.boxes.shown().first().title, u"Connection lost"_s);
    EXPECT_TRUE(h.boxes.shown().first().text.contains(u"(Input/output error)"_s));
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_FALSE(h.controls.isChecked(Control::Connect));
    EXPECT_TRUE(framesDisabled(h.controls));
    EXPECT_FALSE(h.toggle.suppressingNextClick());
}

TEST(ConnectTest, APulledAdapterIsReportedOnceAndLeavesTheWindowUnconnected) {
    ToolHarness h;
    h.connect();
    QString error;
    const QString path = QDir::tempPath() + u"/qv-connect-test.csv"_s;
    ASSERT_TRUE(h.dataFile.openForRecords(path, &error));
    h.port.clearWrites();
    h.port.pull();
    h.idle(10);
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.shown().first().text.contains(u"COM1"_s));
    EXPECT_TRUE(h.boxes.shown().first().text.contains(u"lost"_s));
    EXPECT_TRUE(h.port.written().isEmpty()) << "nothing is written to a port that is gone";
    EXPECT_FALSE(h.controls.isChecked(Control::Connect));
    EXPECT_TRUE(framesDisabled(h.controls));
    EXPECT_FALSE(h.dataFile.isOpen());
    EXPECT_FALSE(h.toggle.suppressingNextClick());

    h.clickConnect();
    h.idle(3000);
    EXPECT_TRUE(h.controls.isChecked(Control::Connect));
    QFile::remove(path);
}

} // namespace
