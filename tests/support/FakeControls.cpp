#include "tests/support/FakeControls.h"

#include <stdexcept>

FakeControls::FakeControls() {
    for (const Control list : {Control::FDXCode, Control::Betriebsart, Control::Order,
                               Control::Sprache, Control::DisplayZeile})
        at(list).editable = true;
    at(Control::Connect).text = QStringLiteral("Connect");
    at(Control::Key).text = QStringLiteral("3B7D1F5A9C2E");
    at(Control::DisplayZeile).text = QStringLiteral("1");
    for (const Control frame : {Control::FrameOnline, Control::FrameControls, Control::FrameConfig,
                                Control::FrameUebertragen})
        at(frame).enabled = false;
}

QString FakeControls::text(Control control) const {
    return state(control).text;
}

void FakeControls::setText(Control control, const QString& text) {
    at(control).text = text;
}

bool FakeControls::isChecked(Control control) const {
    return state(control).checked;
}

void FakeControls::setChecked(Control control, bool checked) {
    State& c = at(control);
    if (c.checked == checked)
        return;
    c.checked = checked;
    const auto handler = m_toggled.at(std::size_t(control));
    if (handler)
        handler(checked);
}

int FakeControls::currentIndex(Control control) const {
    return state(control).index;
}

bool FakeControls::setCurrentIndex(Control control, int index) {
    State& c = at(control);
    if (index < -1 || index >= c.items.size())
        return false;
    c.index = index;
    c.text = index >= 0 ? c.items.at(index) : QString();
    return true;
}

int FakeControls::itemCount(Control control) const {
    return state(control).items.size();
}

void FakeControls::addItems(Control control, const QStringList& items) {
    at(control).items << items;
}

bool FakeControls::setValue(Control control, int value) {
    State& c = at(control);
    if (value < c.minimum || value > c.maximum)
        return false;
    c.value = value;
    return true;
}

int FakeControls::value(Control control) const {
    return state(control).value;
}

void FakeControls::setEnabled(Control control, bool enabled) {
    at(control).enabled = enabled;
}

bool FakeControls::isEnabled(Control control) const {
    return state(control).enabled;
}

void FakeControls::type(Control control, const QString& text) {
    State& c = at(control);
    c.text = text;
    c.index = c.items.indexOf(text);
}

void FakeControls::pick(Control control, int index) {
    setCurrentIndex(control, index);
}

void FakeControls::click(Control control) {
    const bool checked = !at(control).checked;
    setChecked(control, checked);
    const auto handler = m_clicked.at(std::size_t(control));
    if (handler)
        handler(checked);
}

void FakeControls::press(Control control) {
    const auto handler = m_pressed.at(std::size_t(control));
    if (!handler)
        throw std::logic_error(std::string("no handler is wired to the button ") +
                               objectName(control));
    handler();
}

void FakeControls::onPressed(Control control, std::function<void()> handler) {
    m_pressed.at(std::size_t(control)) = std::move(handler);
}

void FakeControls::onChanged(Control control, std::function<void(bool checked)> handler) {
    at(control);
    m_toggled.at(std::size_t(control)) = std::move(handler);
}

void FakeControls::onOperatorChanged(Control control, std::function<void(bool checked)> handler) {
    at(control);
    m_clicked.at(std::size_t(control)) = std::move(handler);
}
