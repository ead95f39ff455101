#include "config/ConfigValues.h"

#include "tests/support/FakeControls.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

using List = ConfigValues::List;

class ConfigValuesTest : public ::testing::Test {
protected:
    ConfigValuesTest() { config.fillLists(); }

    QByteArray items(Control name) const {
        return controls.state(name).items.join(QLatin1Char('\n')).toLatin1();
    }

    FakeControls controls;
    ConfigValues config{controls};
};

TEST_F(ConfigValuesTest, ListsCarryTheirItemsInOrderWithNothingSelected) {
    EXPECT_EQ(items(Control::Tagtyp), "0 - All\n1 - FDX-B\n2 - Unique\n3 - Hitag1/S\n4 - Hitag2\n"
                                      "5 - Tiris\n6 - Q5");
    EXPECT_EQ(items(Control::FDXCode),
              "1 - Hexadecimal\n2 - ISO animal\n3 - ISO industry\n4 - BDE\n"
              "5 - ASCII\n6 - Hex Invers\n7 - Decimal\n8 - Hex bytewise invers");
    EXPECT_EQ(items(Control::Betriebsart), "1 - Verheiraten (V)\n2 - Verheiraten mit Info (VI)\n"
                                           "3 - Leerung (E)\n4 - Leerung mit Info (EI)");
    EXPECT_EQ(items(Control::Order), "0 - beliebig\n1 - Barcode - Transponder\n"
                                     "2 - Transponder - Barcode\n3 - Transponder - Transponder\n"
                                     "4 - Barcode - Barcode");
    EXPECT_EQ(items(Control::Sprache), "0 - German\n1 - English\n2 - French\n3 - Polski");
    for (List list : ConfigValues::kLists) {
        EXPECT_EQ(controls.currentIndex(ConfigValues::control(list)), -1);
        EXPECT_EQ(controls.text(ConfigValues::control(list)), QString());
    }
}

TEST_F(ConfigValuesTest, ReportedNumberSelectsTheItemThatStartsWithIt) {
    const struct {
        List list;
        int number;
        const char* shown;
    } cases[] = {
        {List::FdxCode, 1, "1 - Hexadecimal"},
        {List::Betriebsart, 4, "4 - Leerung mit Info (EI)"},
        {List::Sprache, 3, "3 - Polski"},
        {List::Order, 0, "0 - beliebig"},
        {List::Tagtyp, 0, "0 - All"},
        {List::Tagtyp, 6, "6 - Q5"},
        {List::FdxCode, 8, "8 - Hex bytewise invers"},
    };
    for (const auto& c : cases) {
        const Control name = ConfigValues::control(c.list);
        EXPECT_TRUE(config.selectReported(c.list, c.number)) << objectName(name) << " " << c.number;
        EXPECT_EQ(controls.text(name).toLatin1(), QByteArray(c.shown)) << objectName(name);
    }
}

TEST_F(ConfigValuesTest, NumberWithoutItemChangesNothingButOneBelowClears) {
    ASSERT_TRUE(config.selectReported(List::Tagtyp, 2));
    for (int number : {7, -2, INT_MAX, INT_MIN})
        EXPECT_FALSE(config.selectReported(List::Tagtyp, number)) << number;
    EXPECT_EQ(controls.currentIndex(Control::Tagtyp), 2);

    ASSERT_TRUE(config.selectReported(List::FdxCode, 3));
    EXPECT_FALSE(config.selectReported(List::FdxCode, 9));
    EXPECT_FALSE(config.selectReported(List::FdxCode, -1));
    EXPECT_EQ(controls.currentIndex(Control::FDXCode), 2);
    EXPECT_TRUE(config.selectReported(List::FdxCode, 0));
    EXPECT_EQ(controls.currentIndex(Control::FDXCode), -1);
    EXPECT_EQ(controls.text(Control::FDXCode), QString());
}

TEST_F(ConfigValuesTest, AnyFeatureNumberButZeroChecks) {
    config.setCheckValue(ConfigValues::Feature::Beeper, 2);
    config.setCheckValue(ConfigValues::Feature::Gps, -1);
    EXPECT_TRUE(controls.isChecked(Control::EnBeeper));
    EXPECT_TRUE(controls.isChecked(Control::EnGPS));
    config.setCheckValue(ConfigValues::Feature::Beeper, 0);
    EXPECT_FALSE(controls.isChecked(Control::EnBeeper));
    EXPECT_TRUE(controls.isChecked(Control::EnGPS));
}

TEST_F(ConfigValuesTest, ReportedSwitchOffTimeDrivesBoxAndField) {
    config.showSwitchOffTime("0");
    EXPECT_TRUE(controls.isChecked(Control::Check_Offtime));
    EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("aus"));
    EXPECT_FALSE(controls.isEnabled(Control::Offtime));

    config.showSwitchOffTime("300");
    EXPECT_FALSE(controls.isChecked(Control::Check_Offtime));
    EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("300"));
    EXPECT_TRUE(controls.isEnabled(Control::Offtime));

    // Only the first character counts; anything else is shown exactly as received.
    config.showSwitchOffTime("05");
    EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("aus"));
    config.showSwitchOffTime(" 60 \xE9");
    EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral(" 60 \u00E9"));
}

TEST_F(ConfigValuesTest, OperatorsOffClickReplacesTheNumberBothWays) {
    controls.onOperatorChanged(Control::Check_Offtime,
                               [this](bool checked) { config.offBoxChanged(checked); });
    controls.type(Control::Offtime, QStringLiteral("120"));

    controls.click(Control::Check_Offtime);
    EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("aus"));
    EXPECT_FALSE(controls.isEnabled(Control::Offtime));

    controls.click(Control::Check_Offtime);
    EXPECT_EQ(controls.text(Control::Offtime), QStringLiteral("0"));
    EXPECT_TRUE(controls.isEnabled(Control::Offtime));
}

} // namespace
