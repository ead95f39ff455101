#include "online/Peripherals.h"

#include "link/Link.h"
#include "platform/Controls.h"

void Peripherals::send(const char* command) {
    m_link.clearLog();
    m_link.sendLine(QByteArray(command));
}

void Peripherals::buzzer() {
    send("BEEP");
}

void Peripherals::keyboard() {
    send("KEYBOARD");
}

void Peripherals::clearDisplay() {
    send("CLS");
}

void Peripherals::showText() {
    m_link.clearLog();
    // The line number as the box shows it, typed or picked; the text unescaped.
    m_link.sendLine("DISPLAY " + Link::toWire(m_controls.text(Control::DisplayZeile)) + " \"" +
                    Link::toWire(m_controls.text(Control::DisplayText)) + '"');
}
