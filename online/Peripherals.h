#pragma once

#include "link/Outcome.h"

#include <QByteArray>

class Controls;
class Link;

// The handheld's buzzer, keyboard command and display, driven from the PC. Each click empties
// the log and writes one line: Done once it went out. A failed write ends the action silently:
// PortLost or PortFailure.
class Peripherals {
public:
    Peripherals(Link& link, Controls& controls) : m_link(link), m_controls(controls) {}

    Outcome buzzer();       // "Buzzer": BEEP
    Outcome keyboard();     // "Keyboard": KEYBOARD
    Outcome clearDisplay(); // "Clear Display": CLS
    Outcome showText();     // "Show text": DISPLAY line "text"

private:
    Outcome send(const QByteArray& line);

    Link& m_link;
    Controls& m_controls;
};
