#pragma once

#include <QString>

// Per-user settings by section and key; every value is text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& section, const QString& key,
                         const QString& defaultValue) const = 0;
    virtual void save(const QString& section, const QString& key, const QString& value) = 0;
};
