#pragma once

#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// Small builders for the window's controls: each sets the control's object name, the name by
// which the handlers and GUI automation find it, and its caption or design-time value.
namespace Make {

QPushButton* button(QWidget* parent, const char* name, const QString& caption);
QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption);
// A one-line field: of what the operator types, pastes or drops into it, only the first line is
// inserted, and the operator may type at most typedLimit characters (0: no limit). Text the tool
// sets is shown whole.
QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text = QString(),
                    int typedLimit = 0);
// A one-line field that shows text received from the handheld as it came, line breaks included.
// Nothing in it is sent.
QLineEdit* receivedTextField(QWidget* parent, const char* name);
// An editable list takes only the first line of what the operator types, pastes or drops.
QComboBox* comboBox(QWidget* parent, const char* name, bool editable);
// A label whose text names the control after it; the control becomes its buddy, so a screen
// reader announces the control by this text.
QLabel* label(QWidget* parent, const char* name, const QString& text, QWidget* buddy = nullptr);
// A label that only assistive technology reads, for a list the window shows without one: a
// list's own accessible name is the item it shows, so a screen reader would announce "COM1" where
// it should say "Port".
void labelForAssistiveTechnology(QWidget* parent, const QString& text, QWidget* buddy);

} // namespace Make
