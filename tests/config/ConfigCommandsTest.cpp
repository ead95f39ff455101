#include "tests/support/ToolHarness.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Connected to a prompt handheld, the status chain done and the log filled by it.
class ConfigCommandsTest : public ::testing::Test {
protected:
    ConfigCommandsTest() {
        h.connect();
        h.port.clearWrites();
    }

    ToolHarness h;
};

TEST_F(ConfigCommandsTest, ListCommandsSendTheFirstCharactersOfTheShownText) {
    h.controls.pick(Control::Tagtyp, 1);
    h.act([&] { h.config.setTagType(); });
    h.controls.pick(Control::FDXCode, 7);
    h.act([&] { h.config.setFdxCode(); });
    h.controls.type(Control::Sprache, u"12"_s);
    h.act([&] { h.config.setLanguage(); });
    h.controls.type(Control::Betriebsart, u"34"_s);
    h.controls.pick(Control::Order, 2);
    h.act([&] { h.config.setMode(); });
    h.controls.pick(Control::Tagtyp, -1);
    h.act([&] { h.config.setTagType(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"TAGTYP 1 ", "FDXCODE 8 ", "LANGUAGE 12",
                                                     "FUNCTION 3,2", "TAGTYP "}));
    h.idle(100);
    EXPECT_EQ(h.device.settings().tagType, 1);
    EXPECT_EQ(h.device.settings().fdxCode, 8);
}

TEST_F(ConfigCommandsTest, TextFieldsAreSentAsTheyStand) {
    h.controls.click(Control::Check_Offtime);
    h.act([&] { h.config.setSwitchOffTime(); });
    h.controls.click(Control::Check_Offtime);
    h.act([&] { h.config.setSwitchOffTime(); });
    h.controls.type(Control::Readtimeout, u" 7x"_s);
    h.controls.type(Control::gpstimeout, QString());
    h.act([&] { h.config.setTimeouts(); });
    h.clock.setLocalBase(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 59)).addMSecs(-h.clock.now()));
    h.act([&] { h.config.showPcTime(); });
    EXPECT_EQ(h.controls.text(Control::Zeit), u"02.01.2026 03:04"_s);
    h.act([&] { h.config.setTime(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"OFF aus", "OFF 0", "TIMEOUT  7x",
                                                     "GPSTIMEOUT ", "CLOCK 02.01.2026 03:04"}));
    const auto& writes = h.port.writes();
    EXPECT_EQ(writes.at(3).at - writes.at(2).at, 200);
}

TEST_F(ConfigCommandsTest, FeaturesSendTwoBlanksAndDropTheFirstAnswer) {
    h.controls.setChecked(Control::EnBeeper, false);
    h.controls.setChecked(Control::EnGPS, true);
    h.act([&] { h.config.setFeatures(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"ENBEEP  0", "GPS  1"}));
    const auto& writes = h.port.writes();
    EXPECT_EQ(writes.at(1).at - writes.at(0).at, 100);
    h.idle(100);
    EXPECT_EQ(h.view.log(), "Ok\r\n") << "only the answer to the GPS line is shown";
    EXPECT_EQ(h.device.settings().beeper, 0);
    EXPECT_EQ(h.device.settings().gps, 1);

    // An answer slower than the pause is not waited for, nor dropped: it shows in the log.
    h.port.setLatency(150);
    h.port.clearWrites();
    h.act([&] { h.config.setFeatures(); });
    EXPECT_EQ(h.port.writes().at(1).at - h.port.writes().at(0).at, 100);
    h.idle(200);
    EXPECT_EQ(h.view.log(), "Ok\r\nOk\r\n");
}

TEST_F(ConfigCommandsTest, EveryCommandEmptiesTheLogFirst) {
    h.port.arrive("stale\r\n");
    h.idle(1);
    h.act([&] { h.config.setTagType(); });
    EXPECT_TRUE(h.view.log().isEmpty());
}

TEST_F(ConfigCommandsTest, TextOutsideLatin1GoesOutAsQuestionMarks) {
    h.controls.type(Control::Offtime, u"3\u20ac0\u00e4"_s);
    h.act([&] { h.config.setSwitchOffTime(); });
    EXPECT_EQ(h.port.written(), "OFF 3?0\xe4\r");
}

TEST_F(ConfigCommandsTest, SerialNumberNeedsItsPrefix) {
    const QByteArray log = h.view.log();
    for (const QString& refused : {u"ae123456"_s, u"A"_s, QString()}) {
        h.controls.setText(Control::SNR, refused);
        h.act([&] { h.config.setSerialNumber(); });
    }
    EXPECT_TRUE(h.port.written().isEmpty());
    EXPECT_EQ(h.view.log(), log) << "a refused number leaves the log as it was";
    ASSERT_EQ(h.boxes.shown().size(), 3);
    EXPECT_EQ(h.boxes.shown().first().text, u"Format: AExxxxxx"_s);
    EXPECT_EQ(h.boxes.shown().first().title, u"Error"_s);
    EXPECT_EQ(h.boxes.shown().first().icon, MessageBoxes::Icon::None);

    for (const QString& accepted : {u"AE"_s, u"AE12"_s, u"AE654321"_s}) {
        h.controls.setText(Control::SNR, accepted);
        h.act([&] { h.config.setSerialNumber(); });
    }
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"SNR+", "SNR+12", "SNR+654321"}));
    h.idle(100);
    EXPECT_EQ(h.device.settings().serialNumber, "AE654321");
}

TEST_F(ConfigCommandsTest, ANewSettingShowsAfterAReconnect) {
    h.controls.pick(Control::Sprache, 3);
    h.act([&] { h.config.setLanguage(); });
    h.controls.pick(Control::Sprache, 0);
    h.clickConnect();
    h.connect();
    EXPECT_EQ(h.controls.text(Control::Sprache), u"3 - Polski"_s);
}

TEST_F(ConfigCommandsTest, FailedWritesEndSilentlyExceptForTheTime) {
    h.clickConnect(); // disconnected: every write fails
    h.boxes.clear();
    const qint64 before = h.clock.now();
    h.act([&] { h.config.setTimeouts(); });
    h.act([&] { h.config.setFeatures(); });
    h.controls.setText(Control::SNR, u"AE1"_s);
    h.act([&] { h.config.setSerialNumber(); });
    EXPECT_TRUE(h.boxes.shown().isEmpty());
    EXPECT_EQ(h.clock.now(), before) << "no pause after a line that did not go out";
    h.act([&] { h.config.setTime(); });
    EXPECT_EQ(h.boxes.shown().size(), 1);
}

} // namespace
