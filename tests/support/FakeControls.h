#pragma once

#include "platform/Controls.h"

#include <QHash>
#include <functional>

// The window's controls held in memory, with the design-time values of the real window.
// Using a name the window does not have fails the test at once.
class FakeControls final : public Controls {
public:
    struct Control {
        QString text;
        bool checked = false;
        int index = -1;
        QStringList items;
        bool editable = false; // a drop-down whose shown text may be typed
        int value = 0;
        int minimum = 0;
        int maximum = 100;
        bool enabled = true;
    };

    FakeControls();

    QString text(const char* name) const override;
    void setText(const char* name, const QString& text) override;
    bool isChecked(const char* name) const override;
    void setChecked(const char* name, bool checked) override;
    int currentIndex(const char* name) const override;
    bool setCurrentIndex(const char* name, int index) override;
    int itemCount(const char* name) const override;
    void addItems(const char* name, const QStringList& items) override;
    bool setValue(const char* name, int value) override;
    int value(const char* name) const override;
    void setEnabled(const char* name, bool enabled) override;
    bool isEnabled(const char* name) const override;

    // What the operator does: typing into a box or an editable drop-down, and picking an item.
    void type(const char* name, const QString& text);
    void pick(const char* name, int index);
    // A click that changes a check box, as the operator makes it: the change notification and
    // then the click notification run.
    void click(const char* name);

    // The operator presses a button.
    void press(const char* name);

    void onPressed(const char* name, std::function<void()> handler) override;
    // Runs when the check state changes, from the tool or the operator.
    void onChanged(const char* name, std::function<void(bool checked)> handler) override;
    // Runs when the operator changes a check box (click()), never for setChecked.
    void onOperatorChanged(const char* name, std::function<void(bool checked)> handler) override;

    const Control& control(const char* name) const;

private:
    Control& at(const char* name);

    QHash<QString, Control> m_controls;
    QHash<QString, std::function<void(bool)>> m_toggled;
    QHash<QString, std::function<void(bool)>> m_clicked;
    QHash<QString, std::function<void()>> m_pressed;
};
