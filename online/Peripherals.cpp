#include "online/Peripherals.h"

#include "link/Link.h"
#include "platform/Controls.h"

Outcome Peripherals::send(const QByteArray& line) {
    m_link.clearLog();
    return m_link.sendLine(line) ? Outcome::Done : m_link.unsent();
}

Outcome Peripherals::buzzer() {
    return send(QByteArrayLiteral("BEEP"));
}

Outcome Peripherals::keyboard() {
    return send(QByteArrayLiteral("KEYBOARD"));
}

Outcome Peripherals::clearDisplay() {
    return send(QByteArrayLiteral("CLS"));
}

Outcome Peripherals::showText() {
    // The line number as the box shows it, typed or picked; the text unescaped.
    return send("DISPLAY " + Link::toWire(m_controls.text(Control::DisplayZeile)) + " \"" +
                Link::toWire(m_controls.text(Control::DisplayText)) + '"');
}
