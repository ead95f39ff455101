#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The COM ports of this Windows machine, from the system's own lists: the serial devices the
// drivers registered (HARDWARE\DEVICEMAP\SERIALCOMM) and the devices of the class "Ports",
// which add what Windows knows of each (a USB adapter's description, VID:PID and serial number).
class WinComPorts {
public:
    struct Port {
        QString name;        // "COM3"
        QString description; // "USB Serial Port"; empty when the system gives none
        QString usb;         // "0403:6001"
        QString serial;      // "A1B2C3"
        QString driver;      // the driver's service, "FTDIBUS"
    };

    // Every COM port present, in the order of their numbers.
    static QList<Port> present();
    static QStringList presentNames();
    // The port of that name with what the system knows of it; only the name when it is absent.
    static Port find(const QString& name);
};
