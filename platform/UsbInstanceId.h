#pragma once

#include <QString>

// What a Windows device instance ID says of a USB serial adapter: its vendor and product numbers
// and its serial number. "USB\VID_0403&PID_6001\A1B2C3" gives "0403:6001" and "A1B2C3"; FTDI's
// own driver names it "FTDIBUS\VID_0403+PID_6001+A1B2C3A\0000". Windows makes up the last part
// of an ID ("6&2A3B4C&0&1", with '&') for a device that has no serial number: that is no serial
// number. Each is an empty text where the ID does not say it (a built-in port).
struct UsbInstanceId {
    QString usb;    // "0403:6001"
    QString serial; // "A1B2C3"

    static UsbInstanceId parse(const QString& instanceId);
};
