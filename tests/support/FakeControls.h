#pragma once

#include "platform/Controls.h"

#include <array>
#include <functional>

// The window's controls held in memory, with the design-time values of the real window.
class FakeControls final : public Controls {
public:
    struct State {
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

    QString text(Control control) const override;
    void setText(Control control, const QString& text) override;
    bool isChecked(Control control) const override;
    void setChecked(Control control, bool checked) override;
    int currentIndex(Control control) const override;
    bool setCurrentIndex(Control control, int index) override;
    int itemCount(Control control) const override;
    void addItems(Control control, const QStringList& items) override;
    bool setValue(Control control, int value) override;
    int value(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    bool isEnabled(Control control) const override;

    // What the operator does: typing into a box or an editable drop-down, and picking an item.
    void type(Control control, const QString& text);
    void pick(Control control, int index);
    // A click that changes a check box, as the operator makes it: the change notification and
    // then the click notification run.
    void click(Control control);

    // The operator presses a button.
    void press(Control control);

    void onPressed(Control control, std::function<void()> handler) override;
    // Runs when the check state changes, from the tool or the operator.
    void onChanged(Control control, std::function<void(bool checked)> handler) override;
    // Runs when the operator changes a check box (click()), never for setChecked.
    void onOperatorChanged(Control control, std::function<void(bool checked)> handler) override;

    const State& state(Control control) const { return m_states.at(std::size_t(control)); }

private:
    State& at(Control control) { return m_states.at(std::size_t(control)); }

    std::array<State, kAllControls.size()> m_states;
    std::array<std::function<void(bool)>, kAllControls.size()> m_toggled;
    std::array<std::function<void(bool)>, kAllControls.size()> m_clicked;
    std::array<std::function<void()>, kAllControls.size()> m_pressed;
};
