#include "cli/MapControls.h"

QString MapControls::text(Control control) const {
    return at(control).text;
}

void MapControls::setText(Control control, const QString& text) {
    State& state = at(control);
    state.text = text;
    state.index = state.items.indexOf(text);
}

bool MapControls::isChecked(Control control) const {
    return at(control).checked;
}

void MapControls::setChecked(Control control, bool checked) {
    State& state = at(control);
    if (state.checked == checked)
        return;
    state.checked = checked;
    if (const auto& handler = m_changed.at(std::size_t(control)))
        handler(checked);
}

int MapControls::currentIndex(Control control) const {
    return at(control).index;
}

bool MapControls::setCurrentIndex(Control control, int index) {
    State& state = at(control);
    if (index < -1 || index >= state.items.size())
        return false;
    state.index = index;
    state.text = index >= 0 ? state.items.at(index) : QString();
    return true;
}

int MapControls::itemCount(Control control) const {
    return at(control).items.size();
}

void MapControls::addItems(Control control, const QStringList& items) {
    at(control).items << items;
}

bool MapControls::setValue(Control control, int value) {
    if (value < 0 || value > kMaximumValue)
        return false;
    State& state = at(control);
    state.value = value;
    state.valueSet = true;
    return true;
}

int MapControls::value(Control control) const {
    return at(control).value;
}

void MapControls::setEnabled(Control control, bool enabled) {
    at(control).enabled = enabled;
}

bool MapControls::isEnabled(Control control) const {
    return at(control).enabled;
}

void MapControls::onChanged(Control control, std::function<void(bool checked)> handler) {
    m_changed.at(std::size_t(control)) = std::move(handler);
}

bool MapControls::hasValue(Control control) const {
    return at(control).valueSet;
}
