#include "platform/PortMap.h"

#include "platform/SettingsStore.h"

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

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The end of the run of digits that starts at `from`.
qsizetype digitsEnd(const QString& text, qsizetype from) {
    while (from < text.size() && isAsciiDigit(text.at(from)))
        ++from;
    return from;
}

// Natural order whatever the locale (a collator ignores its numeric mode in the C locale, the
// one services and a bare shell run in): a run of digits counts by its value, so ttyUSB2 comes
// before ttyUSB10; any other character by its code.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isAsciiDigit(a.at(i)) && isAsciiDigit(b.at(j))) {
            const qsizetype endA = digitsEnd(a, i);
            const qsizetype endB = digitsEnd(b, j);
            while (i + 1 < endA && a.at(i) == u'0')
                ++i;
            while (j + 1 < endB && b.at(j) == u'0')
                ++j;
            // Without leading zeros the longer run is the larger number.
            if (endA - i != endB - j)
                return endA - i < endB - j;
            const int order =
                QStringView(a).sliced(i, endA - i).compare(QStringView(b).sliced(j, endB - j));
            if (order != 0)
                return order < 0;
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
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
    std::sort(devices.begin(), devices.end(), [](const QString& a, const QString& b) {
        const bool usbA = isUsbAdapter(a);
        const bool usbB = isUsbAdapter(b);
        if (usbA != usbB)
            return usbA;
        return naturalLess(a, b);
    });
    return devices;
}
