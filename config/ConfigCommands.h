#pragma once

#include "link/Outcome.h"
#include "platform/Control.h"

#include <QByteArray>

class Clock;
class Controls;
class Link;

// The buttons that write the handheld's settings, and the clock shown for setting its time.
//
// Each command reads its argument from the controls as they stand (no trimming, no checks but
// the serial number's prefix), empties the traffic log and writes its line or lines. None
// changes the reply mode; the handheld's answers reach the log like any other line.
class ConfigCommands {
public:
    ConfigCommands(Link& link, Controls& controls, const Clock& clock)
        : m_link(link), m_controls(controls), m_clock(clock) {}

    // Each gives Done once its lines went out. A line that cannot be written ends the command
    // silently: PortLost or PortFailure. The serial number without its prefix is InvalidInput.
    Outcome setTime();          // "Set time": a line not written is told in a box
    Outcome setTagType();       // "Set tag type"
    Outcome setSwitchOffTime(); // "Set switch off time"
    Outcome setTimeouts();      // "Set timeout": the read and the GPS time-out, 200 ms apart
    Outcome setFdxCode();       // "Set FDX code"
    Outcome setFeatures();      // "Set features": buzzer and GPS, the first answer discarded
    Outcome setMode();          // "Set mode": operating mode and capture order
    Outcome setLanguage();      // "Set language"
    Outcome setSerialNumber();  // the hidden "Set" beside the serial number

    // Runs every 500 ms: shows the PC's local time as "dd.mm.yyyy hh:mm".
    void showPcTime();

private:
    Outcome send(const QByteArray& line);
    QByteArray wire(Control control) const;
    QByteArray leading(Control control, int count) const;

    Link& m_link;
    Controls& m_controls;
    const Clock& m_clock;
};
