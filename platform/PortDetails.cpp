#include "platform/PortDetails.h"

#include <QDir>
#include <QFileInfo>
#ifdef Q_OS_WIN
#include "platform/WinComPorts.h"
#else
#include <QSerialPortInfo>
#endif

PortDetails PortDetails::of(const QString& device) {
    PortDetails details;
#ifdef Q_OS_WIN
    const WinComPorts::Port port = WinComPorts::find(device);
    details.description = port.description;
    details.usb = port.usb;
    details.serial = port.serial;
    details.driver = port.driver;
    return details;
#else
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return details;
    details.byId = linkIn(QStringLiteral("/dev/serial/by-id"), target);
    const QString name = QFileInfo(target).fileName();
    const QFileInfo driver(QStringLiteral("/sys/class/tty/%1/device/driver").arg(name));
    if (driver.isSymLink())
        details.driver = QFileInfo(driver.symLinkTarget()).fileName();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.systemLocation() != target)
            continue;
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            details.usb = QStringLiteral("%1:%2")
                              .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                              .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        details.serial = info.serialNumber();
    }
    return details;
#endif
}

QString PortDetails::linkIn(const QString& folder, const QString& device) {
    const QString target = QFileInfo(device).canonicalFilePath();
    const QFileInfoList links = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (!target.isEmpty() && link.canonicalFilePath() == target)
            return link.filePath();
    }
    return QString();
}
