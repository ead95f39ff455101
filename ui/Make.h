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
QLineEdit* lineEdit(QWidget* parent, const char* name, const QString& text = QString());
QComboBox* comboBox(QWidget* parent, const char* name, bool editable);
// A label whose text names the control after it; the control becomes its buddy, so a screen
// reader announces the control by this text.
QLabel* label(QWidget* parent, const char* name, const QString& text, QWidget* buddy = nullptr);

} // namespace Make
