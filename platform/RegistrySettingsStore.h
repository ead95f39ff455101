#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>

// The settings store of the installed tool on Windows: the user's registry, under
// HKEY_CURRENT_USER\Software\Quorvelino\Quorvelino (sections are keys, values are strings).
class RegistrySettingsStore final : public SettingsStore {
public:
    RegistrySettingsStore();

    QString read(const QString& section, const QString& key,
                 const QString& defaultValue) const override;
    bool save(const QString& section, const QString& key, const QString& value) override;
    QString location() const override;

private:
    mutable QSettings m_settings;
};
