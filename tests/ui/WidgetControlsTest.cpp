#include "platform/WidgetControls.h"

#include "platform/MemoryControls.h"
#include "platform/QtMessageBoxes.h"
#include "ui/Form1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
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
    controls.addItems(Control::Tagtyp, {QStringLiteral("0 - All"), QStringLiteral("1 - FDX-B")});
    controls.addItems(Control::Sprache, {QStringLiteral("0 - German")});
    controls.addItems(Control::DisplayZeile, {QStringLiteral("1"), QStringLiteral("2")});
    EXPECT_EQ(controls.currentIndex(Control::Tagtyp), -1);
    EXPECT_EQ(controls.text(Control::Tagtyp), QString());
    EXPECT_EQ(controls.currentIndex(Control::Sprache), -1);
    EXPECT_EQ(controls.text(Control::Sprache), QString());
    EXPECT_EQ(controls.currentIndex(Control::DisplayZeile), -1);
    EXPECT_EQ(controls.text(Control::DisplayZeile), QStringLiteral("1"));
    EXPECT_EQ(controls.itemCount(Control::DisplayZeile), 2);
}

// The controls in memory (the command line's, the tests') follow the window's rules.
void listIndexAndTextFollowTheListsKind(Controls& controls) {
    controls.addItems(Control::Tagtyp, {QStringLiteral("0 - All"), QStringLiteral("1 - FDX-B"),
                                        QStringLiteral("2 - Unique")});
    EXPECT_TRUE(controls.setCurrentIndex(Control::Tagtyp, 1));
    EXPECT_FALSE(controls.setCurrentIndex(Control::Tagtyp, 3));
    EXPECT_FALSE(controls.setCurrentIndex(Control::Tagtyp, -2));
    EXPECT_EQ(controls.currentIndex(Control::Tagtyp), 1);

    // A fixed list can only show one of its items, or nothing.
    controls.setText(Control::Tagtyp, QStringLiteral("2 - Unique"));
    EXPECT_EQ(controls.currentIndex(Control::Tagtyp), 2);
    controls.setText(Control::Tagtyp, QStringLiteral("2"));
    EXPECT_EQ(controls.currentIndex(Control::Tagtyp), -1);
    EXPECT_EQ(controls.text(Control::Tagtyp), QString());

    // An editable one shows what is typed.
    controls.addItems(Control::Sprache, {QStringLiteral("0 - German")});
    controls.setText(Control::Sprache, QStringLiteral("12"));
    EXPECT_EQ(controls.text(Control::Sprache), QStringLiteral("12"));
    EXPECT_TRUE(controls.setCurrentIndex(Control::Sprache, -1));
    EXPECT_EQ(controls.text(Control::Sprache), QString());
}

TEST_F(WidgetControlsTest, ListIndexAndTextFollowTheListsKind) {
    listIndexAndTextFollowTheListsKind(controls);
    MemoryControls inMemory;
    listIndexAndTextFollowTheListsKind(inMemory);
}

TEST_F(WidgetControlsTest, BatteryValueOutsideItsRangeIsRefused) {
    EXPECT_TRUE(controls.setValue(Control::akku, 55));
    EXPECT_FALSE(controls.setValue(Control::akku, 150));
    EXPECT_FALSE(controls.setValue(Control::akku, -1));
    EXPECT_EQ(controls.value(Control::akku), 55);
    EXPECT_TRUE(controls.setValue(Control::akku, 0));
    EXPECT_EQ(controls.value(Control::akku), 0);
}

TEST_F(WidgetControlsTest, SetCheckedRaisesToggledButNotClicked) {
    QAbstractButton& box = form.checkOfftime();
    int toggled = 0;
    int clicked = 0;
    QObject::connect(&box, &QAbstractButton::toggled, &box, [&] { ++toggled; });
    QObject::connect(&box, &QAbstractButton::clicked, &box, [&] { ++clicked; });
    controls.setChecked(Control::Check_Offtime, true);
    controls.setChecked(Control::Check_Offtime, true);
    EXPECT_TRUE(controls.isChecked(Control::Check_Offtime));
    controls.setChecked(Control::Check_Offtime, false);
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

TEST_F(WidgetControlsTest, OneLineFieldsTakeTheFirstLineOfWhatIsPastedAndShowWhatIsSet) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    const Control fields[] = {
        Control::DisplayText,    Control::WriteData,    Control::Key,     Control::BlockAdress,
        Control::BlockEndAdress, Control::DisplayZeile, Control::FDXCode, Control::Betriebsart,
        Control::Order,          Control::Sprache,      Control::Offtime, Control::Readtimeout,
        Control::gpstimeout,     Control::Zeit,         Control::SNR,     Control::PfadLaden};
    for (const Control control : fields) {
        const char* name = objectName(control);
        auto* widget = form.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_TRUE(widget) << name;
        auto* box = qobject_cast<QComboBox*>(widget);
        QLineEdit* edit = box ? box->lineEdit() : qobject_cast<QLineEdit*>(widget);
        ASSERT_TRUE(edit) << name;
        reach(form, *edit);
        edit->clear();
        QApplication::clipboard()->setText(QStringLiteral("Hello\r\nDEL E"));
        QTest::keySequence(edit, QKeySequence::Paste);
        EXPECT_EQ(controls.text(control), QStringLiteral("Hello")) << name;
        QApplication::clipboard()->setText(QStringLiteral("1\n2"));
        QTest::keySequence(edit, QKeySequence::Paste);
        EXPECT_EQ(controls.text(control), QStringLiteral("Hello1")) << name;
        QTest::keyClicks(edit, QStringLiteral("x"));
        EXPECT_EQ(controls.text(control), QStringLiteral("Hello1x")) << name;
        // In mid-field only the pasted part is cut; the text around it stays.
        edit->setCursorPosition(1);
        QApplication::clipboard()->setText(QStringLiteral("e\n2"));
        QTest::keySequence(edit, QKeySequence::Paste);
        EXPECT_EQ(controls.text(control), QStringLiteral("Heello1x")) << name;
        // What the tool sets (a reported value, a stored path) is shown whole, however long.
        const QString set = QStringLiteral("7\rDEL E") + QString(40000, QLatin1Char('9'));
        controls.setText(control, set);
        EXPECT_EQ(controls.text(control), set) << name;
    }

    // The read result shows what the handheld sent, line breaks included, however long.
    const QString id = QStringLiteral("ID:1\r\nDEL E") + QString(40000, QLatin1Char('0'));
    controls.setText(Control::IDAnzeige, id);
    EXPECT_EQ(controls.text(Control::IDAnzeige), id);
}

TEST_F(WidgetControlsTest, TheSerialNumberLimitsTypingOnlyNeverAReportedValue) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* snr = form.findChild<QLineEdit*>(QStringLiteral("SNR"));
    ASSERT_TRUE(snr);
    snr->setFocus();
    QTest::keyClicks(snr, QStringLiteral("AE0123456789"));
    EXPECT_EQ(controls.text(Control::SNR), QStringLiteral("AE012345"));
    // Typing in the middle keeps what stood there; what does not fit is what was typed.
    snr->setCursorPosition(2);
    QTest::keyClicks(snr, QStringLiteral("X"));
    EXPECT_EQ(controls.text(Control::SNR), QStringLiteral("AE012345"));
    QTest::keyClick(snr, Qt::Key_Backspace);
    QTest::keyClicks(snr, QStringLiteral("XY"));
    EXPECT_EQ(controls.text(Control::SNR), QStringLiteral("AX012345"));
    snr->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("AE9876543210"));
    QTest::keySequence(snr, QKeySequence::Paste);
    EXPECT_EQ(controls.text(Control::SNR), QStringLiteral("AE987654"));

    controls.setText(Control::SNR, QStringLiteral("AE0123456789"));
    EXPECT_EQ(controls.text(Control::SNR), QStringLiteral("AE0123456789"));
    EXPECT_EQ(snr->displayText(), QStringLiteral("AE0123456789"));
    // The operator cannot make a long one longer, but can shorten it.
    snr->setCursorPosition(12);
    QTest::keyClicks(snr, QStringLiteral("Z"));
    EXPECT_EQ(controls.text(Control::SNR), QStringLiteral("AE0123456789"));
    QTest::keyClick(snr, Qt::Key_Backspace);
    EXPECT_EQ(controls.text(Control::SNR), QStringLiteral("AE012345678"));
}

TEST_F(WidgetControlsTest, EnabledIsTheControlsOwnStateInsideADisabledFrame) {
    ASSERT_FALSE(controls.isEnabled(Control::FrameConfig));
    EXPECT_TRUE(controls.isEnabled(Control::Offtime));
    controls.setEnabled(Control::Offtime, false);
    EXPECT_FALSE(controls.isEnabled(Control::Offtime));
    controls.setEnabled(Control::FrameConfig, true);
    EXPECT_FALSE(controls.isEnabled(Control::Offtime));
    controls.setEnabled(Control::Offtime, true);
    EXPECT_TRUE(controls.isEnabled(Control::Offtime));
}

// The kind each control has in the one list of controls, as the window builds it.
ControlKind kindInTheWindow(QWidget* widget) {
    if (auto* box = qobject_cast<QComboBox*>(widget))
        return box->isEditable() ? ControlKind::EditableList : ControlKind::List;
    if (qobject_cast<QLineEdit*>(widget))
        return ControlKind::Text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->isCheckable() ? ControlKind::Check : ControlKind::Button;
    if (qobject_cast<QProgressBar*>(widget))
        return ControlKind::Value;
    return ControlKind::Frame;
}

TEST_F(WidgetControlsTest, EveryControlIsInTheWindowAsItsKindAndTheWrongKindGivesANeutralResult) {
    for (const Control control : kAllControls) {
        QWidget* widget = form.findChild<QWidget*>(QString::fromLatin1(objectName(control)));
        ASSERT_NE(widget, nullptr) << objectName(control);
        EXPECT_EQ(kindInTheWindow(widget), controlKind(control)) << objectName(control);
    }

    EXPECT_FALSE(controls.setValue(Control::Version, 1));
    EXPECT_FALSE(controls.setCurrentIndex(Control::Version, 0));
    controls.setChecked(Control::Version, true);
    EXPECT_FALSE(controls.isChecked(Control::Version));
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
