#include "ui/Tool.h"

#include "platform/IniSettingsStore.h"
#include "ui/PortBox.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The whole tool on the real window, with its settings file in a folder of its own.
class ToolTest : public ::testing::Test {
protected:
    ToolTest() { qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit()); }
    ~ToolTest() override { qunsetenv("XDG_CONFIG_HOME"); }

    QString iniPath() const { return home.filePath(QStringLiteral("Quorvelino/Quorvelino.ini")); }
    QString stored(const char* key) const {
        return IniSettingsStore(iniPath()).read(QStringLiteral("Config"), QString::fromLatin1(key),
                                                QStringLiteral("<none>"));
    }

    QTemporaryDir home;
};

TEST_F(ToolTest, StartsFromTheStoreAndSavesOnClose) {
    {
        IniSettingsStore store(iniPath());
        store.save(QStringLiteral("Config"), QStringLiteral("Port"), QStringLiteral(" 15"));
        store.save(QStringLiteral("Config"), QStringLiteral("LoadPath"),
                   QStringLiteral("/data/sel, 2.csv"));
        // A path is never changed behind the operator's back, whatever it holds.
        store.save(QStringLiteral("Config"), QStringLiteral("SavePath"),
                   QStringLiteral("/data/rec\nords.csv"));
    }
    Tool tool;
    tool.start();
    Controls& controls = tool.controls();
    EXPECT_TRUE(tool.window().isVisible());
    EXPECT_EQ(controls.text(Control::Port), QStringLiteral("COM16"));
    EXPECT_TRUE(tool.window().port().toolTip().startsWith(QStringLiteral("COM16: ")));
    EXPECT_EQ(controls.text(Control::PfadLaden), QStringLiteral("/data/sel, 2.csv"));
    for (const ConfigValues::List list : ConfigValues::kLists) {
        EXPECT_EQ(controls.currentIndex(ConfigValues::control(list)), -1);
        EXPECT_EQ(controls.text(ConfigValues::control(list)), QString());
    }
    EXPECT_EQ(controls.text(Control::DisplayZeile), QStringLiteral("1"));
    EXPECT_EQ(controls.itemCount(Control::DisplayZeile), 8);
    EXPECT_FALSE(controls.isEnabled(Control::FrameConfig));

    controls.setCurrentIndex(Control::Port, 4);
    ASSERT_TRUE(tool.window().close());
    EXPECT_EQ(stored("Port"), QStringLiteral(" 4"));
    EXPECT_EQ(stored("SavePath"), QStringLiteral("/data/rec\nords.csv"));
    EXPECT_EQ(stored("LoadPath"), QStringLiteral("/data/sel, 2.csv"));
}

TEST_F(ToolTest, OffBoxCouplesOnEveryChangeOfTheOperatorsOnly) {
    Tool tool;
    tool.start();
    Controls& controls = tool.controls();
    controls.setEnabled(Control::FrameConfig, true);
    tool.window().tabs().setCurrentIndex(2);
    QAbstractButton& off = tool.window().checkOfftime();
    QAccessibleActionInterface* actions =
        QAccessible::queryAccessibleInterface(&off)->actionInterface();
    ASSERT_TRUE(actions);
    // A mouse click, the space key, and assistive technology's "Toggle".
    const std::function<void()> ways[] = {
        [&] { QTest::mouseClick(&off, Qt::LeftButton); },
        [&] { QTest::keyClick(&off, Qt::Key_Space); },
        [&] { actions->doAction(QAccessibleActionInterface::toggleAction()); },
    };
    for (const auto& change : ways) {
        controls.setText(Control::Offtime, QStringLiteral("120"));
        change();
        EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("aus"));
        EXPECT_FALSE(controls.isEnabled(Control::Offtime));
        change();
        EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("0"));
        EXPECT_TRUE(controls.isEnabled(Control::Offtime));
    }

    // A state set by the tool itself, as when a status reply shows it, leaves the field alone.
    controls.setText(Control::Offtime, QStringLiteral("300"));
    controls.setChecked(Control::Check_Offtime, true);
    EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("300"));
    EXPECT_TRUE(controls.isEnabled(Control::Offtime));
}

} // namespace
