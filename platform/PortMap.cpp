#include "platform/PortMap.h"

#include "platform/SettingsStore.h"

#include <QCollator>
#include <QFileInfo>
#include <algorithm>
#ifdef Q_OS_WIN
#include "platform/WinComPorts.h"
#else
#include <QSerialPortInfo>
#endif

namespace {

bool isUsbAdapter(const QString& device) {
    const QString name = QFileInfo(device).fileName();
    return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"));
}

} // namespace

QString PortMap::mappedDevice(int number) const {
    return m_settings.read(QStringLiteral("Ports"), QStringLiteral("COM%1").arg(number), QString());
}

QString PortMap::deviceFor(int number) const {
#ifdef Q_OS_WIN
    return deviceFor(number, {});
#else
    const QString mapped = mappedDevice(number);
    return mapped.isEmpty() ? deviceFor(number, presentDevices()) : mapped;
#endif
}

QString PortMap::deviceFor(int number, const QStringList& present) const {
    const QString mapped = mappedDevice(number);
    if (!mapped.isEmpty())
        return mapped;
#ifdef Q_OS_WIN
    Q_UNUSED(present)
    return QStringLiteral("COM%1").arg(number);
#else
    if (number >= 1 && number <= present.size())
        return present.at(number - 1);
    return QString();
#endif
}

QStringList PortMap::presentDevices() {
#ifdef Q_OS_WIN
    return WinComPorts::presentNames();
#else
    QStringList devices;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports)
        devices << info.systemLocation();
    return inComOrder(devices);
#endif
}

QStringList PortMap::inComOrder(QStringList devices) {
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(devices.begin(), devices.end(), [&](const QString& a, const QString& b) {
        const bool usbA = isUsbAdapter(a);
        const bool usbB = isUsbAdapter(b);
        if (usbA != usbB)
            return usbA;
        return collator.compare(a, b) < 0;
    });
    return devices;
}
