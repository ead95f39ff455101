#include "platform/WidgetControls.h"

#include "platform/QtMessageBoxes.h"
#include "ui/Form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class WidgetControlsTest : public ::testing::Test {
protected:
    Form1 form;
    WidgetControls controls{form};
};

TEST_F(WidgetControlsTest, AddingItemsKeepsWhatTheListShowed) {
    // Qt makes the first item current when a list that was empty gets items; the window's
    // lists must still show nothing, and DisplayZeile its "1", until something is chosen.
    controls.addItems("Tagtyp", {QStringLiteral("0 - All"), QStringLiteral("1 - FDX-B")});
    controls.addItems("Sprache", {QStringLiteral("0 - German")});
    controls.addItems("DisplayZeile", {QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_EQ(controls.currentIndex("Tagtyp"), -1);
    EXPECT_EQ(controls.text("Tagtyp"), QString());
    EXPECT_EQ(controls.currentIndex("Sprache"), -1);
    EXPECT_EQ(controls.text("Sprache"), QString());
    EXPECT_EQ(controls.currentIndex("DisplayZeile"), -1);
    EXPECT_EQ(controls.text("DisplayZeile"), QStringLiteral("1"));
    EXPECT_EQ(controls.itemCount("DisplayZeile"), 2);
}

TEST_F(WidgetControlsTest, ListIndexAndTextFollowTheListsKind) {
    controls.addItems("Tagtyp", {QStringLiteral("0 - All"), QStringLiteral("1 - FDX-B"),
                                 QStringLiteral("2 - Unique")});
    EXPECT_TRUE(controls.setCurrentIndex("Tagtyp", 1));
    EXPECT_FALSE(controls.setCurrentIndex("Tagtyp", 3));
    EXPECT_FALSE(controls.setCurrentIndex("Tagtyp", -2));
    EXPECT_EQ(controls.currentIndex("Tagtyp"), 1);

    // A fixed list can only show one of its items, or nothing.
    controls.setText("Tagtyp", QStringLiteral("2 - Unique"));
    EXPECT_EQ(controls.currentIndex("Tagtyp"), 2);
    controls.setText("Tagtyp", QStringLiteral("2"));
    EXPECT_EQ(controls.currentIndex("Tagtyp"), -1);
    EXPECT_EQ(controls.text("Tagtyp"), QString());

    // An editable one shows what is typed.
    controls.addItems("Sprache", {QStringLiteral("0 - German")});
    controls.setText("Sprache", QStringLiteral("12"));
    EXPECT_EQ(controls.text("Sprache"), QStringLiteral("12"));
    EXPECT_TRUE(controls.setCurrentIndex("Sprache", -1));
    EXPECT_EQ(controls.text("Sprache"), QString());
}

TEST_F(WidgetControlsTest, BatteryValueOutsideItsRangeIsRefused) {
    EXPECT_TRUE(controls.setValue("akku", 55));
    EXPECT_FALSE(controls.setValue("akku", 150));
    EXPECT_FALSE(controls.setValue("akku", -1));
    EXPECT_EQ(controls.value("akku"), 55);
    EXPECT_TRUE(controls.setValue("akku", 0));
    EXPECT_EQ(controls.value("akku"), 0);
}

TEST_F(WidgetControlsTest, SetCheckedRaisesToggledButNotClicked) {
    QAbstractButton& box = form.checkOfftime();
    int toggled = 0;
    int clicked = 0;
    QObject::connect(&box, &QAbstractButton::toggled, &box, [&] { ++toggled; });
    QObject::connect(&box, &QAbstractButton::clicked, &box, [&] { ++clicked; });
    controls.setChecked("Check_Offtime", true);
    controls.setChecked("Check_Offtime", true);
    EXPECT_TRUE(controls.isChecked("Check_Offtime"));
    controls.setChecked("Check_Offtime", false);
    EXPECT_EQ(toggled, 2);
    EXPECT_EQ(clicked, 0);
}

// Shows the page that holds the widget, enabled, and gives it the keyboard focus.
void reach(Form1& form, QWidget& widget) {
    QTabWidget& tabs = form.tabs();
    for (int page = 0; page < tabs.count(); ++page) {
        tabs.widget(page)->setEnabled(true);
        if (tabs.widget(page)->isAncestorOf(&widget))
            tabs.setCurrentIndex(page);
    }
    widget.setFocus();
}

TEST_F(WidgetControlsTest, OneLineFieldsKeepTheFirstLineOfWhatIsPastedTypedOrSet) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const char* const fields[] = {"DisplayText",    "WriteData",    "Key",     "BlockAdress",
                                  "BlockEndAdress", "DisplayZeile", "FDXCode", "Betriebsart",
                                  "Order",          "Sprache",      "Offtime", "Readtimeout",
                                  "gpstimeout",     "Zeit",         "SNR",     "PfadLaden"};
    for (const char* name : fields) {
        auto* widget = form.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_TRUE(widget) << name;
        auto* box = qobject_cast<QComboBox*>(widget);
        QLineEdit* edit = box ? box->lineEdit() : qobject_cast<QLineEdit*>(widget);
        ASSERT_TRUE(edit) << name;
        reach(form, *edit);
        edit->clear();
        QApplication::clipboard()->setText(QStringLiteral("Hello\r\nDEL E"));
        QTest::keySequence(edit, QKeySequence::Paste);
        EXPECT_EQ(controls.text(name), QStringLiteral("Hello")) << name;
        QApplication::clipboard()->setText(QStringLiteral("1\n2"));
        QTest::keySequence(edit, QKeySequence::Paste);
        EXPECT_EQ(controls.text(name), QStringLiteral("Hello1")) << name;
        QTest::keyClicks(edit, QStringLiteral("x"));
        EXPECT_EQ(controls.text(name), QStringLiteral("Hello1x")) << name;
        controls.setText(name, QStringLiteral("7\rDEL E"));
        EXPECT_EQ(controls.text(name), QStringLiteral("7")) << name;
    }

    // The read result shows what the handheld sent, line breaks included.
    controls.setText("IDAnzeige", QStringLiteral("ID:1\r\nDEL E"));
    EXPECT_EQ(controls.text("IDAnzeige"), QStringLiteral("ID:1\r\nDEL E"));
}

TEST_F(WidgetControlsTest, TheSerialNumberLimitsTypingOnlyNeverAReportedValue) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* snr = form.findChild<QLineEdit*>(QStringLiteral("SNR"));
    ASSERT_TRUE(snr);
    snr->setFocus();
    QTest::keyClicks(snr, QStringLiteral("AE0123456789"));
    EXPECT_EQ(controls.text("SNR"), QStringLiteral("AE012345"));
    // Typing in the middle keeps what stood there; what does not fit is what was typed.
    snr->setCursorPosition(2);
    QTest::keyClicks(snr, QStringLiteral("X"));
    EXPECT_EQ(controls.text("SNR"), QStringLiteral("AE012345"));
    QTest::keyClick(snr, Qt::Key_Backspace);
    QTest::keyClicks(snr, QStringLiteral("XY"));
    EXPECT_EQ(controls.text("SNR"), QStringLiteral("AX012345"));
    snr->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("AE9876543210"));
    QTest::keySequence(snr, QKeySequence::Paste);
    EXPECT_EQ(controls.text("SNR"), QStringLiteral("AE987654"));

    controls.setText("SNR", QStringLiteral("AE0123456789"));
    EXPECT_EQ(controls.text("SNR"), QStringLiteral("AE0123456789"));
    EXPECT_EQ(snr->displayText(), QStringLiteral("AE0123456789"));
    // The operator cannot make a long one longer, but can shorten it.
    snr->setCursorPosition(12);
    QTest::keyClicks(snr, QStringLiteral("Z"));
    EXPECT_EQ(controls.text("SNR"), QStringLiteral("AE0123456789"));
    QTest::keyClick(snr, Qt::Key_Backspace);
    EXPECT_EQ(controls.text("SNR"), QStringLiteral("AE012345678"));
}

TEST_F(WidgetControlsTest, EnabledIsTheControlsOwnStateInsideADisabledFrame) {
    ASSERT_FALSE(controls.isEnabled("FrameConfig"));
    EXPECT_TRUE(controls.isEnabled("Offtime"));
    controls.setEnabled("Offtime", false);
    EXPECT_FALSE(controls.isEnabled("Offtime"));
    controls.setEnabled("FrameConfig", true);
    EXPECT_FALSE(controls.isEnabled("Offtime"));
    controls.setEnabled("Offtime", true);
    EXPECT_TRUE(controls.isEnabled("Offtime"));
    EXPECT_TRUE(controls.isEnabled("Form1"));
}

TEST_F(WidgetControlsTest, UnknownNameOrWrongKindGivesANeutralResult) {
    EXPECT_EQ(controls.text("NoSuchControl"), QString());
    controls.setText("NoSuchControl", QStringLiteral("x"));
    EXPECT_FALSE(controls.isChecked("NoSuchControl"));
    controls.setChecked("NoSuchControl", true);
    EXPECT_EQ(controls.currentIndex("NoSuchControl"), -1);
    EXPECT_FALSE(controls.setCurrentIndex("NoSuchControl", 0));
    EXPECT_EQ(controls.itemCount("NoSuchControl"), 0);
    controls.addItems("NoSuchControl", {QStringLiteral("x")});
    EXPECT_FALSE(controls.setValue("NoSuchControl", 1));
    EXPECT_FALSE(controls.isEnabled("NoSuchControl"));
    controls.setEnabled("NoSuchControl", true);

    EXPECT_FALSE(controls.setValue("Version", 1));
    EXPECT_FALSE(controls.setCurrentIndex("Version", 0));
    controls.setChecked("Version", true);
    EXPECT_FALSE(controls.isChecked("Version"));
}

TEST(QtMessageBoxesTest, TextFromTheHandheldIsShownAsItIsNeverAsMarkup) {
    QtMessageBoxes boxes(nullptr);
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            format = box->textFormat();
            title = box->windowTitle();
            box->accept();
        }
    });
    boxes.show(QStringLiteral("<b>12|4711</b>"), QString(), MessageBoxes::Icon::Warning,
               MessageBoxes::Buttons::Ok);
    EXPECT_EQ(shown, QStringLiteral("<b>12|4711</b>"));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(title, QStringLiteral("QuorvelinoTool"));
}

} // namespace
