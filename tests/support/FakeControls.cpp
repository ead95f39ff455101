#include "tests/support/FakeControls.h"

#include <stdexcept>

namespace {

QString key(const char* name) {
    return QString::fromLatin1(name);
}

} // namespace

FakeControls::FakeControls() {
    const char* plain[] = {
        "Port",         "Version",        "SNR",           "Zeile",       "IDAnzeige",
        "BlockAdress",  "BlockEndAdress", "WriteData",     "DisplayText", "Offtime",
        "Readtimeout",  "gpstimeout",     "Zeit",          "PfadLaden",   "PfadSpeichern",
        "OutStatistik", "Check_Offtime",  "EnBeeper",      "EnGPS",       "ReadCont",
        "Tagtyp",       "FrameOnline",    "FrameControls", "FrameConfig", "FrameUebertragen",
        "SetSnr"};
    for (const char* name : plain)
        m_controls.insert(key(name), Control());
    for (const char* name : {"FDXCode", "Betriebsart", "Order", "Sprache", "DisplayZeile"})
        m_controls[key(name)].editable = true;
    m_controls[QStringLiteral("Connect")].text = QStringLiteral("Connect");
    m_controls.insert(QStringLiteral("akku"), Control());
    m_controls[QStringLiteral("Key")].text = QStringLiteral("3B7D1F5A9C2E");
    m_controls[QStringLiteral("DisplayZeile")].text = QStringLiteral("1");
    for (const char* frame : {"FrameOnline", "FrameControls", "FrameConfig", "FrameUebertragen"})
        m_controls[key(frame)].enabled = false;
}

FakeControls::Control& FakeControls::at(const char* name) {
    auto it = m_controls.find(key(name));
    if (it == m_controls.end())
        throw std::logic_error(std::string("the window has no control named ") + name);
    return *it;
}

const FakeControls::Control& FakeControls::control(const char* name) const {
    return const_cast<FakeControls*>(this)->at(name);
}

QString FakeControls::text(const char* name) const {
    return control(name).text;
}

void FakeControls::setText(const char* name, const QString& text) {
    at(name).text = text;
}

bool FakeControls::isChecked(const char* name) const {
    return control(name).checked;
}

void FakeControls::setChecked(const char* name, bool checked) {
    Control& c = at(name);
    if (c.checked == checked)
        return;
    c.checked = checked;
    const auto handler = m_toggled.value(key(name));
    if (handler)
        handler(checked);
}

int FakeControls::currentIndex(const char* name) const {
    return control(name).index;
}

bool FakeControls::setCurrentIndex(const char* name, int index) {
    Control& c = at(name);
    if (index < -1 || index >= c.items.size())
        return false;
    c.index = index;
    c.text = index >= 0 ? c.items.at(index) : QString();
    return true;
}

int FakeControls::itemCount(const char* name) const {
    return control(name).items.size();
}

void FakeControls::addItems(const char* name, const QStringList& items) {
    at(name).items << items;
}

bool FakeControls::setValue(const char* name, int value) {
    Control& c = at(name);
    if (value < c.minimum || value > c.maximum)
        return false;
    c.value = value;
    return true;
}

int FakeControls::value(const char* name) const {
    return control(name).value;
}

void FakeControls::setEnabled(const char* name, bool enabled) {
    at(name).enabled = enabled;
}

bool FakeControls::isEnabled(const char* name) const {
    return control(name).enabled;
}

void FakeControls::type(const char* name, const QString& text) {
    Control& c = at(name);
    c.text = text;
    c.index = c.items.indexOf(text);
}

void FakeControls::pick(const char* name, int index) {
    setCurrentIndex(name, index);
}

void FakeControls::click(const char* name) {
    const bool checked = !at(name).checked;
    setChecked(name, checked);
    const auto handler = m_clicked.value(key(name));
    if (handler)
        handler(checked);
}

void FakeControls::press(const char* name) {
    const auto handler = m_pressed.value(key(name));
    if (!handler)
        throw std::logic_error(std::string("no handler is wired to the button ") + name);
    handler();
}

void FakeControls::onPressed(const char* name, std::function<void()> handler) {
    // Buttons hold no state here: they are known by the handlers wired to them.
    m_pressed.insert(key(name), std::move(handler));
}

void FakeControls::onChanged(const char* name, std::function<void(bool checked)> handler) {
    at(name);
    m_toggled.insert(key(name), std::move(handler));
}

void FakeControls::onOperatorChanged(const char* name, std::function<void(bool checked)> handler) {
    at(name);
    m_clicked.insert(key(name), std::move(handler));
}
