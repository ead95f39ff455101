#include "cli/MapControls.h"

namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

} // namespace

const MapControls::Control& MapControls::at(const char* name) const {
    static const Control kEmpty;
    const auto found = m_controls.constFind(key(name));
    return found == m_controls.constEnd() ? kEmpty : *found;
}

QString MapControls::text(const char* name) const {
    return at(name).text;
}

void MapControls::setText(const char* name, const QString& text) {
    Control& control = m_controls[key(name)];
    control.text = text;
    control.index = control.items.indexOf(text);
}

bool MapControls::isChecked(const char* name) const {
    return at(name).checked;
}

void MapControls::setChecked(const char* name, bool checked) {
    Control& control = m_controls[key(name)];
    if (control.checked == checked)
        return;
    control.checked = checked;
    // Looked up afresh: the handler may change other controls, and with them the map.
    if (const auto handler = m_changed.value(key(name)))
        handler(checked);
}

int MapControls::currentIndex(const char* name) const {
    return at(name).index;
}

bool MapControls::setCurrentIndex(const char* name, int index) {
    Control& control = m_controls[key(name)];
    if (index < -1 || index >= control.items.size())
        return false;
    control.index = index;
    control.text = index >= 0 ? control.items.at(index) : QString();
    return true;
}

int MapControls::itemCount(const char* name) const {
    return at(name).items.size();
}

void MapControls::addItems(const char* name, const QStringList& items) {
    m_controls[key(name)].items << items;
}

bool MapControls::setValue(const char* name, int value) {
    if (value < 0 || value > kMaximumValue)
        return false;
    Control& control = m_controls[key(name)];
    control.value = value;
    control.valueSet = true;
    return true;
}

int MapControls::value(const char* name) const {
    return at(name).value;
}

void MapControls::setEnabled(const char* name, bool enabled) {
    m_controls[key(name)].enabled = enabled;
}

bool MapControls::isEnabled(const char* name) const {
    return at(name).enabled;
}

void MapControls::onChanged(const char* name, std::function<void(bool checked)> handler) {
    m_changed.insert(key(name), std::move(handler));
}

bool MapControls::hasValue(const char* name) const {
    return at(name).valueSet;
}
