#include "platform/MemoryControls.h"

MemoryControls::MemoryControls() {
    at(Control::Connect).text = QStringLiteral("Connect");
    at(Control::Key).text = QStringLiteral("3B7D1F5A9C2E");
    at(Control::DisplayZeile).text = QStringLiteral("1");
    for (const Control control : kAllControls) {
        if (controlKind(control) == ControlKind::Frame)
            at(control).enabled = false;
    }
}

QString MemoryControls::text(Control control) const {
    return state(control).text;
}

void MemoryControls::setText(Control control, const QString& text) {
    State& c = at(control);
    switch (controlKind(control)) {
    case ControlKind::List:
        c.index = c.items.indexOf(text);
        c.text = c.index >= 0 ? text : QString();
        return;
    case ControlKind::Value:
        return; // the bar shows no text
    case ControlKind::Text:
    case ControlKind::EditableList:
    case ControlKind::Check:
    case ControlKind::Button:
    case ControlKind::Frame:
        c.text = text;
        return;
    }
}

bool MemoryControls::isChecked(Control control) const {
    return state(control).checked;
}

void MemoryControls::setChecked(Control control, bool checked) {
    State& c = at(control);
    if (c.checked == checked)
        return;
    c.checked = checked;
    if (const auto& handler = m_changed.at(std::size_t(control)))
        handler(checked);
}

int MemoryControls::currentIndex(Control control) const {
    return state(control).index;
}

bool MemoryControls::setCurrentIndex(Control control, int index) {
    State& c = at(control);
    if (index < -1 || index >= c.items.size())
        return false;
    c.index = index;
    c.text = index >= 0 ? c.items.at(index) : QString();
    return true;
}

int MemoryControls::itemCount(Control control) const {
    return state(control).items.size();
}

void MemoryControls::addItems(Control control, const QStringList& items) {
    at(control).items << items;
}

bool MemoryControls::setValue(Control control, int value) {
    if (value < 0 || value > kMaximumValue)
        return false;
    State& c = at(control);
    c.value = value;
    c.valueSet = true;
    return true;
}

int MemoryControls::value(Control control) const {
    return state(control).value;
}

void MemoryControls::setEnabled(Control control, bool enabled) {
    at(control).enabled = enabled;
}

bool MemoryControls::isEnabled(Control control) const {
    return state(control).enabled;
}

void MemoryControls::onChanged(Control control, std::function<void(bool checked)> handler) {
    m_changed.at(std::size_t(control)) = std::move(handler);
}
