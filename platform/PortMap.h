#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// How the COM numbers of the port list map to the serial devices of this machine.
//
// An entry COMn in section "Ports" of the settings store names the device for COMn. Without an
// entry COMn is the n-th serial device present: USB and ACM adapters first, then the others,
// each group in natural order (ttyUSB2 before ttyUSB10). On Windows COMn is the port of that name.
class PortMap {
public:
    explicit PortMap(const SettingsStore& settings) : m_settings(settings) {}

    // The device for COMn, or an empty text when nothing stands for that number.
    QString deviceFor(int number) const;
    // The same with the devices present already listed (presentDevices()): listing them reads
    // hundreds of files of the system, so a caller asking for every number lists them once.
    QString deviceFor(int number, const QStringList& present) const;
    // The device the settings store names for COMn, or an empty text.
    QString mappedDevice(int number) const;

    // Every serial device present, in COM order.
    static QStringList presentDevices();
    // The ordering rule, on any list of device paths.
    static QStringList inComOrder(QStringList devices);

private:
    const SettingsStore& m_settings;
};
