#pragma once

#include "platform/Controls.h"

#include <QStringList>
#include <array>
#include <functional>

// The window's controls held in memory, as the command line keeps them and the tests drive them.
// Each control behaves as its kind does in the window (ControlKind): setting a drop-down list's
// text chooses the item that reads so, or none; an editable list shows the text as set; the
// battery bar takes 0 to 100. They start from the window's design-time values. Nothing is
// painted, and the only notification raised is the change of a check state (the connect toggle
// runs its handler, nested, when the tool itself unchecks it): here no operator presses or
// changes anything.
class MemoryControls : public Controls {
public:
    struct State {
        QString text; // a list's text is its chosen item's
        bool checked = false;
        int index = -1;
        QStringList items;
        int value = 0;
        bool valueSet = false;
        bool enabled = true;
    };

    MemoryControls();

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
    void onPressed(Control, std::function<void()>) override {}
    void onChanged(Control control, std::function<void(bool checked)> handler) override;
    void onOperatorChanged(Control, std::function<void(bool)>) override {}

    // True once a value was set on the control (a battery level the handheld never reported
    // stays unset, where the window shows its 0).
    bool hasValue(Control control) const { return state(control).valueSet; }
    const State& state(Control control) const { return m_states.at(std::size_t(control)); }

    static constexpr int kMaximumValue = 100;

protected:
    State& at(Control control) { return m_states.at(std::size_t(control)); }

private:
    std::array<State, kAllControls.size()> m_states;
    std::array<std::function<void(bool)>, kAllControls.size()> m_changed;
};
