#pragma once

#include "platform/MemoryControls.h"

#include <array>
#include <functional>

// The window's controls in memory, driven as the operator drives the window.
class FakeControls final : public MemoryControls {
public:
    // What the operator does: typing into a box or an editable drop-down, and picking an item.
    void type(Control control, const QString& text);
    void pick(Control control, int index);
    // A click that changes a check box, as the operator makes it: the change notification and
    // then the click notification run.
    void click(Control control);

    // The operator presses a button.
    void press(Control control);

    void onPressed(Control control, std::function<void()> handler) override;
    // Runs when the operator changes a check box (click()), never for setChecked.
    void onOperatorChanged(Control control, std::function<void(bool checked)> handler) override;

private:
    std::array<std::function<void(bool)>, kAllControls.size()> m_clicked;
    std::array<std::function<void()>, kAllControls.size()> m_pressed;
};
