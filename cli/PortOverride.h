#pragma once

#include "platform/SettingsStore.h"

// The window's settings, with one COM number standing for a device given on the command line
// (--port /dev/ttyUSB0). Nothing is ever written: the command line leaves the window's settings
// as they are.
class PortOverride final : public SettingsStore {
public:
    explicit PortOverride(const SettingsStore& settings) : m_settings(settings) {}

    // From now on COMn stands for the device.
    void mapDevice(int number, const QString& device);

    QString read(const QString& section, const QString& key,
                 const QString& defaultValue) const override;
    bool save(const QString&, const QString&, const QString&) override { return false; }
    QString location() const override { return m_settings.location(); }

private:
    const SettingsStore& m_settings;
    int m_number = 0;
    QString m_device;
};
