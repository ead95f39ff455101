#pragma once

#include "platform/SettingsStore.h"

#include <QSettings>

// The settings store of the installed tool: an INI file at
// $XDG_CONFIG_HOME/Quorvelino/Quorvelino.ini (~/.config/... when the variable is unset).
// A file that cannot be read, or holds garbage, reads as empty, so every default applies.
class IniSettingsStore final : public SettingsStore {
public:
    IniSettingsStore();
    explicit IniSettingsStore(const QString& filePath);

    static QString defaultFilePath();
    QString filePath() const { return m_settings.fileName(); }

    QString read(const QString& section, const QString& key,
                 const QString& defaultValue) const override;
    bool save(const QString& section, const QString& key, const QString& value) override;
    QString location() const override { return filePath(); }

private:
    mutable QSettings m_settings;
};
