#include "tests/support/ControlNamed.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedHandheld.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ToolSettingsHome.h"
#include "tests/support/WaitUntil.h"
#include "ui/Form1.h"
#include "ui/Tool.h"
#include "ui/TrafficLog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What an operator's action did: the commands it put on the wire, the boxes and file dialogs it
// opened, the record file it wrote, and every named control of the window afterwards.
struct Effect {
    QList<QByteArray> wire;
    QStringList boxes;
    qsizetype dialogs = 0;
    QByteArray recordFile;
    QStringList window;
    bool operator==(const Effect&) const = default;
};

void PrintTo(const Effect& effect, std::ostream* out) {
    *out << "wire: " << effect.wire.join(" | ").toStdString()
         << "; boxes: " << effect.boxes.join(QStringLiteral(" | ")).toStdString()
         << "; dialogs: " << effect.dialogs << "; file: " << effect.recordFile.size()
         << " bytes; window: " << effect.window.join(QStringLiteral(", ")).toStdString();
}

bool named(const QObject* object) {
    const QString name = object ? object->objectName() : QString();
    return object && object->isWidgetType() && !name.isEmpty() &&
           !name.startsWith(QLatin1String("qt_"));
}

void walk(QAccessibleInterface* node, QList<QAccessibleInterface*>* all) {
    all->append(node);
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i))
            walk(child, all);
    }
}

// The whole tool on the real window, connected over a pseudo-terminal to the handheld.
class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(handheld.ok()) << handheld.error().toStdString();
        ASSERT_TRUE(home.mapCom1(handheld.device()));
        QFile selections(home.filePath(QStringLiteral("selections.csv")));
        ASSERT_TRUE(selections.open(QIODevice::WriteOnly));
        selections.write("4711;cow\r\n4712;calf\r\n");
        tool = std::make_unique<Tool>(&boxes, &dialogs);
        tool->start();
        tool->controls().setCurrentIndex(Control::Port, 0);
    }
    Form1& window() { return tool->window(); }

    // Runs the window until the handheld and the tool have been quiet for a while.
    void settle() {
        QElapsedTimer quiet;
        QElapsedTimer total;
        quiet.start();
        total.start();
        auto state = [&] {
            return std::tuple(handheld.commands().size(), handheld.bytesWritten(),
                              window().log().text().size(), tool->link().gate().busy());
        };
        auto last = state();
        // Quiet means no handler runs too: a busy machine can hold a handler longer than that.
        while ((quiet.elapsed() < 150 || tool->link().gate().busy()) &&
               total.elapsed() < kPatientMs) {
            QTest::qWait(10);
            if (state() != last) {
                last = state();
                quiet.restart();
            }
        }
    }

    bool connect() {
        QTest::mouseClick(&window().connectButton(), Qt::LeftButton);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < kPatientMs) {
            if (tool->link().replyMode() == ReplyMode::Idle &&
                tool->controls().text(Control::SNR) == QStringLiteral("AE012345"))
                return true;
            QTest::qWait(10);
        }
        return false;
    }

    QList<QWidget*> namedWidgets() {
        QList<QWidget*> all{&window()};
        for (QWidget* widget : window().findChildren<QWidget*>())
            if (named(widget))
                all << widget;
        return all;
    }

    // The values the operator's fields hold before each action, and the state they restore.
    void takeBaseline() {
        settle();
        m_baselineModel = handheld.model();
        m_baseline.clear();
        for (QWidget* widget : namedWidgets())
            m_baseline.append({widget, stateOf(widget)});
    }
    void restoreBaseline() {
        handheld.setModel(m_baselineModel);
        Controls& controls = tool->controls();
        for (const auto& [widget, state] : m_baseline) {
            const auto control = controlNamed(widget->objectName().toLatin1().constData());
            if (!control)
                continue;
            if (qobject_cast<QCheckBox*>(widget))
                controls.setChecked(*control, state.checked);
            else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget))
                controls.setText(*control, state.text);
            controls.setEnabled(*control, state.enabled);
        }
        window().log().clearLog();
        QFile::remove(recordPath());
        boxes.clear();
        m_dialogsBefore = dialogs.opened().size();
        m_commandsBefore = handheld.commands().size();
    }

    Effect effect() {
        settle();
        Effect effect;
        for (QByteArray command : handheld.commands().mid(m_commandsBefore)) {
            if (command.startsWith("CLOCK ")) // the PC's time, which moves on
                command = "CLOCK <time>";
            effect.wire << command;
        }
        effect.boxes = boxes.texts();
        effect.dialogs = dialogs.opened().size() - m_dialogsBefore;
        QFile file(recordPath());
        if (file.open(QIODevice::ReadOnly))
            effect.recordFile = file.readAll();
        for (QWidget* widget : namedWidgets()) {
            if (widget->objectName() == QLatin1String("Zeit"))
                continue; // the PC's time
            const State state = stateOf(widget);
            effect.window << QStringLiteral("%1=%2/%3/%4")
                                 .arg(widget->objectName(), state.text)
                                 .arg(state.checked)
                                 .arg(state.enabled);
        }
        effect.window << QString::fromLatin1(window().log().text());
        return effect;
    }

    QString recordPath() const { return home.filePath(QStringLiteral("records.csv")); }

    // Brings the control's page to the front, as the operator does before using it.
    void reach(QWidget& control) {
        QTabWidget& tabs = window().tabs();
        for (int page = 0; page < tabs.count(); ++page) {
            if (tabs.widget(page)->isAncestorOf(&control))
                tabs.setCurrentIndex(page);
        }
    }

    static void mouseClick(QAbstractButton& button) {
        QPoint at = button.rect().center();
        if (auto* box = qobject_cast<QCheckBox*>(&button)) {
            // On the box itself: a check box in a stretched row is wider than what takes a click.
            QStyleOptionButton option;
            option.initFrom(box);
            at = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
        }
        QTest::mouseClick(&button, Qt::LeftButton, {}, at);
    }

    // The tree as assistive technology walks it reaches every named control, each with a name
    // and a readable text; the buttons and check boxes among them go into `buttons`.
    void checkReachableAndReadable(QList<QAbstractButton*>* buttons) {
        QList<QAccessibleInterface*> tree;
        walk(QAccessible::queryAccessibleInterface(&window()), &tree);
        QSet<QObject*> reached;
        for (QAccessibleInterface* node : tree)
            reached.insert(node->object());
        for (QWidget* widget : namedWidgets()) {
            const std::string name = widget->objectName().toStdString();
            ASSERT_TRUE(reached.contains(widget)) << name << " is not in the accessibility tree";
            QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
            // A list's value is no name: a screen reader would announce "COM1, combo box".
            const QString ownName = node->text(QAccessible::Name);
            EXPECT_TRUE((!ownName.isEmpty() && ownName != node->text(QAccessible::Value)) ||
                        !node->relations(QAccessible::Label).isEmpty())
                << name << " has neither a name nor a label";
            EXPECT_EQ(node->text(QAccessible::Description), widget->objectName()) << name;

            QString shown;
            QAccessibleInterface* textNode = node;
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                shown = edit->displayText();
            } else if (auto* log = qobject_cast<TrafficLog*>(widget)) {
                shown = log->toPlainText();
            } else if (auto* box = qobject_cast<QComboBox*>(widget); box && box->isEditable()) {
                shown = box->currentText();
                textNode = QAccessible::queryAccessibleInterface(box->lineEdit());
            } else {
                if (auto* button = qobject_cast<QAbstractButton*>(widget))
                    *buttons << button;
                continue;
            }
            QAccessibleTextInterface* text = textNode->textInterface();
            ASSERT_TRUE(text) << name << " offers no text";
            EXPECT_EQ(text->text(0, text->characterCount()), shown) << name;
        }
    }

    // The action by which assistive technology uses the control: "Press", or "Toggle" for one
    // that keeps a state. False when it offers neither.
    static bool doAction(QAbstractButton& button) {
        QAccessibleActionInterface* actions =
            QAccessible::queryAccessibleInterface(&button)->actionInterface();
        if (!actions)
            return false;
        for (const QString& action : actions->actionNames()) {
            if (action == QAccessibleActionInterface::pressAction() ||
                action == QAccessibleActionInterface::toggleAction()) {
                actions->doAction(action);
                return true;
            }
        }
        return false;
    }

    ScriptedHandheld handheld;
    ToolSettingsHome home;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    std::unique_ptr<Tool> tool;

private:
    struct State {
        QString text;
        bool checked = false;
        bool enabled = false;
    };
    static State stateOf(QWidget* widget) {
        State state;
        state.enabled = widget->parentWidget() ? widget->isEnabledTo(widget->parentWidget())
                                               : widget->isEnabled();
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            state.text = edit->text();
        else if (auto* box = qobject_cast<QComboBox*>(widget))
            state.text = box->currentText();
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            state.text = button->text();
        else if (auto* bar = qobject_cast<QProgressBar*>(widget))
            state.text = QString::number(bar->value());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            state.checked = button->isChecked();
        return state;
    }

    DeviceModel m_baselineModel;
    QList<std::pair<QWidget*, State>> m_baseline;
    qsizetype m_dialogsBefore = 0;
    qsizetype m_commandsBefore = 0;
};

TEST_F(AccessibilityTest, EveryControlIsNamedReadableAndActsAsAClickDoes) {
    ASSERT_TRUE(connect()) << window().log().text().toStdString();
    Controls& controls = tool->controls();
    controls.setText(Control::PfadSpeichern, recordPath());
    controls.setText(Control::PfadLaden, home.filePath(QStringLiteral("selections.csv")));
    controls.setText(Control::BlockAdress, QStringLiteral("1"));
    controls.setText(Control::BlockEndAdress, QStringLiteral("2"));
    controls.setText(Control::WriteData, QStringLiteral("ab"));
    controls.setText(Control::DisplayText, QStringLiteral("Hello"));
    window().log().appendLog("SNR:AE012345\r\nOFF:0\r");

    QList<QAbstractButton*> buttons;
    checkReachableAndReadable(&buttons);
    if (HasFatalFailure())
        return;

    // Each button and check box does through assistive technology what a click does. Connect
    // comes last, as it ends the connection.
    std::stable_partition(buttons.begin(), buttons.end(),
                          [&](QAbstractButton* b) { return b != &window().connectButton(); });
    takeBaseline();
    restoreBaseline();
    const Effect nothing = effect();
    for (QAbstractButton* button : buttons) {
        const std::string name = button->objectName().toStdString();
        reach(*button);
        if (!button->isVisible())
            continue; // hidden from the operator and from assistive technology alike
        restoreBaseline();
        mouseClick(*button);
        const Effect clicked = effect();
        EXPECT_NE(clicked, nothing) << name << " did nothing";
        if (button == &window().connectButton()) {
            ASSERT_TRUE(connect());
            takeBaseline();
        }
        restoreBaseline();
        ASSERT_TRUE(doAction(*button)) << name << " offers no action";
        EXPECT_EQ(effect(), clicked) << name;
    }
}

} // namespace
