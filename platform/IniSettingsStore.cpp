#include "platform/IniSettingsStore.h"

#include <QDir>

IniSettingsStore::IniSettingsStore() : IniSettingsStore(defaultFilePath()) {}

IniSettingsStore::IniSettingsStore(const QString& filePath)
    : m_settings(filePath, QSettings::IniFormat) {}

QString IniSettingsStore::defaultFilePath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Quorvelino/Quorvelino.ini");
}

QString IniSettingsStore::read(const QString& section, const QString& key,
                               const QString& defaultValue) const {
    const QVariant value = m_settings.value(section + QLatin1Char('/') + key);
    if (!value.isValid())
        return defaultValue;
    // A value written by hand as a list ("a, b") comes back as several texts; keep it whole.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool IniSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    m_settings.setValue(section + QLatin1Char('/') + key, value);
    m_settings.sync();
    // A file that held garbage keeps reporting a format error, yet is written afresh.
    return m_settings.status() != QSettings::AccessError;
}
