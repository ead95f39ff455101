#include "tests/support/ConnectedTool.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedHandheld.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The real window, its real serial adapter, and the simulated handheld on a pseudo-terminal.
class ConnectionIntegrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.started()) << "quorvelino-sim did not start";
        tool.start();
        tool.controls().setCurrentIndex(Control::Port, 0);
    }

    bool connectAndWaitForChain() { return ::connectAndWaitForChain(tool, kPatientMs); }

    SimulatedHandheld sim;
    ScriptedMessageBoxes boxes;
    Tool tool{&boxes};
};

TEST_F(ConnectionIntegrationTest, ConnectFillsTheTwelveValuesAndDisconnects) {
    ASSERT_TRUE(connectAndWaitForChain()) << tool.window().log().text().toStdString();
    Controls& c = tool.controls();
    EXPECT_EQ(c.value(Control::akku), 87);
    EXPECT_EQ(c.text(Control::Version), u"V2.31 Sim"_s);
    EXPECT_EQ(c.text(Control::Tagtyp), u"1 - FDX-B"_s);
    EXPECT_EQ(c.text(Control::Offtime), u"300"_s);
    EXPECT_EQ(c.text(Control::Readtimeout), u"20"_s);
    EXPECT_EQ(c.text(Control::gpstimeout), u"30"_s);
    EXPECT_EQ(c.text(Control::FDXCode), u"2 - ISO animal"_s);
    EXPECT_TRUE(c.isChecked(Control::EnBeeper));
    EXPECT_FALSE(c.isChecked(Control::EnGPS));
    EXPECT_EQ(c.text(Control::Betriebsart), u"1 - Verheiraten (V)"_s);
    EXPECT_EQ(c.text(Control::Order), u"0 - beliebig"_s);
    EXPECT_EQ(c.text(Control::Sprache), u"1 - English"_s);
    EXPECT_EQ(c.text(Control::Connect), u"Connected"_s);
    EXPECT_TRUE(c.isEnabled(Control::FrameUebertragen));
    EXPECT_TRUE(tool.window().log().text().startsWith("connecting...\r\n"));
    EXPECT_TRUE(boxes.shown().isEmpty());

    tool.window().connectButton().click();
    EXPECT_FALSE(tool.link().port().isOpen());
    EXPECT_EQ(c.value(Control::akku), 0);
    EXPECT_FALSE(c.isEnabled(Control::FrameUebertragen));

    // A setting written before reconnecting shows after it.
    ASSERT_TRUE(connectAndWaitForChain()) << tool.window().log().text().toStdString();
    c.setCurrentIndex(Control::Sprache, 3);
    tool.window().button("SpracheSetzen").click();
    ASSERT_TRUE(waitUntil([&] { return tool.window().log().text() == "Ok\r\n"; }, kPatientMs))
        << tool.window().log().text().toStdString();
    tool.window().connectButton().click();
    c.setCurrentIndex(Control::Sprache, 0);
    ASSERT_TRUE(connectAndWaitForChain()) << tool.window().log().text().toStdString();
    EXPECT_EQ(c.text(Control::Sprache), u"3 - Polski"_s);
}

TEST_F(ConnectionIntegrationTest, ContinuousReadingRunsUntilUnticked) {
    ASSERT_TRUE(connectAndWaitForChain()) << tool.window().log().text().toStdString();
    Controls& c = tool.controls();
    c.setChecked(Control::ReadCont, true);
    int results = 0;
    QString last;
    tool.window().button("ReadId").click();
    ASSERT_TRUE(waitUntil(
        [&] {
            if (c.text(Control::IDAnzeige) != last) {
                last = c.text(Control::IDAnzeige);
                ++results;
            }
            return results >= 3;
        },
        kPatientMs));
    EXPECT_EQ(tool.link().replyMode(), ReplyMode::IdRead);
    c.setChecked(Control::ReadCont, false);
    ASSERT_TRUE(waitUntil([&] { return tool.link().replyMode() == ReplyMode::Idle; }, kPatientMs));
    const QString shown = c.text(Control::IDAnzeige);
    waitUntil([] { return false; }, 800);
    EXPECT_EQ(tool.link().replyMode(), ReplyMode::Idle);
    EXPECT_EQ(c.text(Control::IDAnzeige), shown);
}

class PulledCableTest : public ::testing::Test {
protected:
    // The handheld vanishes after the status chain and a few reads.
    SimulatedHandheld sim{{u"--unplug-after"_s, u"260"_s}};
    ScriptedMessageBoxes boxes;
    Tool tool{&boxes};
};

TEST_F(PulledCableTest, ALostHandheldIsReportedOnceAndTheWindowIsUnconnected) {
    ASSERT_TRUE(sim.started());
    tool.start();
    tool.controls().setCurrentIndex(Control::Port, 0);
    tool.window().connectButton().click();
    ASSERT_TRUE(
        waitUntil([&] { return tool.controls().text(Control::SNR) == u"AE012345"_s; }, kPatientMs));
    tool.controls().setChecked(Control::ReadCont, true);
    tool.window().button("ReadId").click();
    ASSERT_TRUE(
        waitUntil([&] { return !tool.controls().isChecked(Control::Connect); }, kPatientMs));
    waitUntil([] { return false; }, 300);
    ASSERT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u" | "_s).toStdString();
    EXPECT_TRUE(boxes.shown().first().text.contains(u"COM1"_s));
    EXPECT_TRUE(boxes.shown().first().text.contains(u"lost"_s));
    EXPECT_FALSE(tool.link().port().isOpen());
    EXPECT_FALSE(tool.controls().isEnabled(Control::FrameOnline));
    EXPECT_EQ(tool.controls().text(Control::Connect), u"Connect"_s);
    EXPECT_EQ(tool.link().replyMode(), ReplyMode::Idle);
}

TEST(PulledCableDuringTheGreetingTest, IsReportedAsTheLossItIs) {
    // The handheld vanishes in the middle of its first answer to "ONLINE".
    SimulatedHandheld sim{{u"--unplug-after"_s, u"2"_s}};
    ASSERT_TRUE(sim.started());
    ScriptedMessageBoxes boxes;
    Tool tool{&boxes};
    tool.start();
    tool.controls().setCurrentIndex(Control::Port, 0);
    tool.window().connectButton().click();
    ASSERT_TRUE(waitUntil([&] { return !boxes.shown().isEmpty(); }, kPatientMs));
    waitUntil([] { return false; }, 300);
    ASSERT_EQ(boxes.shown().size(), 1) << boxes.texts().join(u" | "_s).toStdString();
    EXPECT_EQ(boxes.shown().first().title, u"Connection lost"_s);
    EXPECT_FALSE(tool.controls().isChecked(Control::Connect));
    EXPECT_FALSE(tool.controls().isEnabled(Control::FrameOnline));
}

} // namespace
