#pragma once

class Controls;
class Link;

// The handheld's buzzer, keyboard command and display, driven from the PC. Each click empties
// the log and writes one line; a failed write ends the action silently.
class Peripherals {
public:
    Peripherals(Link& link, Controls& controls) : m_link(link), m_controls(controls) {}

    void buzzer();       // "Buzzer": BEEP
    void keyboard();     // "Keyboard": KEYBOARD
    void clearDisplay(); // "Clear Display": CLS
    void showText();     // "Show text": DISPLAY line "text"

private:
    void send(const char* command);

    Link& m_link;
    Controls& m_controls;
};
