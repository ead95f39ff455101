#include "app/Lifecycle.h"

#include "config/ConfigValues.h"
#include "exchange/DataFile.h"
#include "tests/support/FakeControls.h"
#include "tests/support/MemorySettingsStore.h"
#include "tests/support/VirtualLink.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class LifecycleTest : public ::testing::Test, protected VirtualLink {
protected:
    QString stored(const char* key) const {
        return store.read(QStringLiteral("Config"), QString::fromLatin1(key),
                          QStringLiteral("<none>"));
    }
    void storeValue(const char* key, const QString& value) {
        store.save(QStringLiteral("Config"), QString::fromLatin1(key), value);
    }

    DataFile dataFile;
    MemorySettingsStore store;
    FakeControls controls;
    ConfigValues config{controls};
    Lifecycle lifecycle{controls, link, dataFile, store, config};
};

TEST_F(LifecycleTest, FirstRunFillsTheListsAndChoosesCom1) {
    link.setReplyMode(ReplyMode::StatusChain);
    lifecycle.load();

    QStringList ports;
    for (int n = 1; n <= 16; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    EXPECT_EQ(controls.state(Control::Port).items, ports);
    EXPECT_EQ(controls.currentIndex(Control::Port), 0);
    EXPECT_EQ(controls.text(Control::Port), QStringLiteral("COM1"));
    EXPECT_EQ(controls.state(Control::DisplayZeile).items.join(QLatin1Char(',')),
              QStringLiteral("1,2,3,4,5,6,7,8"));
    EXPECT_EQ(controls.text(Control::DisplayZeile), QStringLiteral("1"));
    for (ConfigValues::List list : ConfigValues::kLists)
        EXPECT_EQ(controls.state(ConfigValues::control(list)).items, ConfigValues::items(list));
    EXPECT_EQ(link.replyMode(), ReplyMode::Idle);
    EXPECT_EQ(controls.text(Control::PfadSpeichern), QString());
    EXPECT_EQ(controls.text(Control::PfadLaden), QString());
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.written().isEmpty());
}

TEST_F(LifecycleTest, StoredPortChoosesTheIndexOrFallsBackToCom1) {
    const struct {
        const char* stored;
        int index;
    } cases[] = {{"15", 15}, {" 15", 15}, {"16", 0},  {"-1", -1}, {"abc", 0},
                 {"-5", 0},  {" 3", 3},   {"3.5", 0}, {"", 0},    {"99999999999999999999", 0},
                 {"0x3", 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(Lifecycle::portIndex(QString::fromLatin1(c.stored)), c.index) << c.stored;
    }
    storeValue("Port", QStringLiteral("15"));
    lifecycle.load();
    EXPECT_EQ(controls.text(Control::Port), QStringLiteral("COM16"));
}

TEST_F(LifecycleTest, NoPortChosenSurvivesARestart) {
    storeValue("Port", QStringLiteral("-1"));
    lifecycle.load();
    EXPECT_EQ(controls.currentIndex(Control::Port), -1);
    EXPECT_EQ(controls.text(Control::Port), QString());
    lifecycle.unload();
    EXPECT_EQ(stored("Port"), QStringLiteral("-1"));
}

TEST_F(LifecycleTest, ClosedPortShutdownSendsNothingAndSavesTheValues) {
    storeValue("SavePath", QStringLiteral("/home/op/records;1.csv"));
    lifecycle.load();
    EXPECT_EQ(controls.text(Control::PfadSpeichern), QStringLiteral("/home/op/records;1.csv"));
    controls.pick(Control::Port, 3);

    lifecycle.unload();
    EXPECT_TRUE(port.written().isEmpty());
    EXPECT_EQ(stored("Port"), QStringLiteral(" 3"));
    EXPECT_EQ(stored("SavePath"), QStringLiteral("/home/op/records;1.csv"));
    EXPECT_EQ(stored("LoadPath"), QString()); // written, although empty
    EXPECT_EQ(Lifecycle::storedPort(0), QStringLiteral(" 0"));
}

TEST_F(LifecycleTest, OpenPortIsToldDisconnectAndClosedTheDataFileToo) {
    lifecycle.load();
    ASSERT_TRUE(port.open().ok);
    QTemporaryDir dir;
    ASSERT_TRUE(dataFile.openForRecords(dir.filePath(QStringLiteral("r.csv")), nullptr));

    lifecycle.unload();
    EXPECT_EQ(port.written(), QByteArray("DISCONNECT\r"));
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(dataFile.isOpen());
    EXPECT_EQ(stored("Port"), QStringLiteral(" 0"));
}

} // namespace
