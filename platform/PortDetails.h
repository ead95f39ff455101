#pragma once

#include <QString>

// What the system knows about a serial device beyond its path: the stable link that names it in
// /dev/serial/by-id, and for a USB adapter its vendor and product numbers, its serial number and
// the kernel driver that serves it; on Windows, the port's description in place of the link. Each
// is an empty text where the system does not know it (a built-in port, a pseudo-terminal).
struct PortDetails {
    QString byId;        // "/dev/serial/by-id/usb-0403_6001_A1B2C3-if00-port0"
    QString description; // "USB Serial Port (COM3)", Windows only
    QString usb;         // "0403:6001"
    QString serial;      // "A1B2C3"
    QString driver;      // "ftdi_sio"

    static PortDetails of(const QString& device);
    // The link in folder that leads to device, or an empty text.
    static QString linkIn(const QString& folder, const QString& device);
};
