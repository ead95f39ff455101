#pragma once

#include "platform/SettingsStore.h"

#include <QMap>

// A settings store held in memory.
class MemorySettingsStore final : public SettingsStore {
public:
    QString read(const QString& section, const QString& key,
                 const QString& defaultValue) const override {
        return m_values.value(section + QLatin1Char('/') + key, defaultValue);
    }
    bool save(const QString& section, const QString& key, const QString& value) override {
        m_values.insert(section + QLatin1Char('/') + key, value);
        return true;
    }
    bool contains(const QString& section, const QString& key) const {
        return m_values.contains(section + QLatin1Char('/') + key);
    }

private:
    QMap<QString, QString> m_values;
};
