#include "platform/RegistrySettingsStore.h"

RegistrySettingsStore::RegistrySettingsStore()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorvelino"),
                 QStringLiteral("Quorvelino")) {}

QString RegistrySettingsStore::read(const QString& section, const QString& key,
                                    const QString& defaultValue) const {
    const QVariant value = m_settings.value(section + QLatin1Char('/') + key);
    return value.isValid() ? value.toString() : defaultValue;
}

bool RegistrySettingsStore::save(const QString& section, const QString& key, const QString& value) {
    m_settings.setValue(section + QLatin1Char('/') + key, value);
    m_settings.sync();
    return m_settings.status() == QSettings::NoError;
}

QString RegistrySettingsStore::location() const {
    return QStringLiteral("the registry, HKEY_CURRENT_USER\\Software\\Quorvelino\\Quorvelino");
}
