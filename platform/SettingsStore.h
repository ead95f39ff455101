#pragma once

#include <QString>

// Per-user settings by section and key; every value is text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString read(const QString& section, const QString& key,
                         const QString& defaultValue) const = 0;
    // False when the value could not be stored (the store cannot be written).
    virtual bool save(const QString& section, const QString& key, const QString& value) = 0;
    // Where the values are kept, for messages; empty when that means nothing to the operator.
    virtual QString location() const { return QString(); }
};
