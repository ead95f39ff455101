#pragma once

#include "platform/Controls.h"

#include <QStringList>
#include <array>
#include <functional>

// The window's named controls as the command line keeps them: plain values, empty until set.
//
// A drop-down's text is its chosen item, or the text set when no item has it; -1 is no item.
// The one value control is the battery bar, which takes 0 to 100. Nothing is painted; the only
// notification is the one a handler relies on, the change of a check state (the connect toggle
// runs its handler, nested, when the tool itself unchecks it).
class MapControls final : public Controls {
public:
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
    // The command line has no operator: nothing is ever pressed or changed by one.
    void onPressed(Control, std::function<void()>) override {}
    void onChanged(Control control, std::function<void(bool checked)> handler) override;
    void onOperatorChanged(Control, std::function<void(bool)>) override {}
    // True once a value was set on the control (a battery level the handheld never reported
    // stays unset, where the window shows its 0).
    bool hasValue(Control control) const;

    static constexpr int kMaximumValue = 100;

private:
    struct State {
        QString text;
        bool checked = false;
        int index = -1;
        QStringList items;
        int value = 0;
        bool valueSet = false;
        bool enabled = true;
    };

    State& at(Control control) { return m_controls.at(std::size_t(control)); }
    const State& at(Control control) const { return m_controls.at(std::size_t(control)); }

    std::array<State, kAllControls.size()> m_controls;
    std::array<std::function<void(bool)>, kAllControls.size()> m_changed;
};
