#include "cli/PortOverride.h"

void PortOverride::mapDevice(int number, const QString& device) {
    m_number = number;
    m_device = device;
}

QString PortOverride::read(const QString& section, const QString& key,
                           const QString& defaultValue) const {
    if (m_number > 0 && section == QLatin1String("Ports") &&
        key == QStringLiteral("COM%1").arg(m_number))
        return m_device;
    return m_settings.read(section, key, defaultValue);
}
