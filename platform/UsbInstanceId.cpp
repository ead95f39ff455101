#include "platform/UsbInstanceId.h"

#include <QRegularExpression>
#include <QStringList>

UsbInstanceId UsbInstanceId::parse(const QString& instanceId) {
    static const QRegularExpression ids(
        QStringLiteral("VID_([0-9A-F]{4})[&+]PID_([0-9A-F]{4})(?:\\+([^\\\\]+))?"),
        QRegularExpression::CaseInsensitiveOption);
    UsbInstanceId result;
    const QRegularExpressionMatch match = ids.match(instanceId);
    if (!match.hasMatch())
        return result;
    result.usb = (match.captured(1) + QLatin1Char(':') + match.captured(2)).toLower();
    if (match.hasCaptured(3)) {
        result.serial = match.captured(3);
        return result;
    }
    const QStringList parts = instanceId.split(QLatin1Char('\\'));
    if (parts.size() == 3 && !parts.at(2).contains(QLatin1Char('&')))
        result.serial = parts.at(2);
    return result;
}
