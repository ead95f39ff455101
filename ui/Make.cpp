#include "ui/Make.h"

#include "ui/OneLineValidator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

namespace Make {

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text, int typedLimit) {
    QLineEdit* edit = receivedTextField(parent, name);
    new OneLineValidator(*edit, typedLimit);
    edit->setText(text);
    return edit;
}

namespace {

// A text field keeps whatever it is given or typed, however long: the handheld's commands and
// answers have no limit of their own (a field would otherwise cut at 32,767 characters).
void unlimited(QLineEdit& edit) {
    edit.setMaxLength(std::numeric_limits<int>::max());
}

} // namespace

QLineEdit* receivedTextField(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    unlimited(*edit);
    return edit;
}

QComboBox* comboBox(QWidget* parent, const char* name, bool editable) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(editable);
    // Typed text is the value the commands send; it must not turn into a new item.
    box->setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        // What the operator types is sent as typed: no item may complete it behind their back
        // ("1" would otherwise read "1 - Hexadecimal" and send "1 ").
        box->setCompleter(nullptr);
        unlimited(*box->lineEdit());
        new OneLineValidator(*box->lineEdit());
    }
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

void labelForAssistiveTechnology(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->hide();
}

} // namespace Make
