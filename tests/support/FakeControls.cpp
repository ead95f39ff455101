#include "tests/support/FakeControls.h"

#include <stdexcept>

void FakeControls::type(Control control, const QString& text) {
    State& c = at(control);
    c.text = text;
    c.index = c.items.indexOf(text);
}

void FakeControls::pick(Control control, int index) {
    setCurrentIndex(control, index);
}

void FakeControls::click(Control control) {
    const bool checked = !isChecked(control);
    setChecked(control, checked);
    if (const auto& handler = m_clicked.at(std::size_t(control)))
        handler(checked);
}

void FakeControls::press(Control control) {
    const auto& handler = m_pressed.at(std::size_t(control));
    if (!handler)
        throw std::logic_error(std::string("no handler is wired to the button ") +
                               objectName(control));
    handler();
}

void FakeControls::onPressed(Control control, std::function<void()> handler) {
    m_pressed.at(std::size_t(control)) = std::move(handler);
}

void FakeControls::onOperatorChanged(Control control, std::function<void(bool checked)> handler) {
    m_clicked.at(std::size_t(control)) = std::move(handler);
}
