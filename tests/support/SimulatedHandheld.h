#pragma once

#include "tests/support/ToolSettingsHome.h"
#include "tests/support/WaitUntil.h"

#include <QProcess>
#include <QStringList>

// quorvelino-sim, started with the given options, on a pseudo-terminal, and a settings home whose
// COM1 is that terminal, for tests that run the real tool or the command line against it.
class SimulatedHandheld {
public:
    explicit SimulatedHandheld(const QStringList& options = {});
    ~SimulatedHandheld() { stop(); }
    SimulatedHandheld(const SimulatedHandheld&) = delete;
    SimulatedHandheld& operator=(const SimulatedHandheld&) = delete;

    bool started() const { return !m_device.isEmpty(); }
    const QString& device() const { return m_device; }
    QString home() const { return m_home.path(); }

    // The cable is pulled: the simulator dies at once (SIGKILL), and with it the device.
    void pullCable();
    // Ends the simulator as SIGTERM does: it writes its dump and removes its link.
    void stop();

private:
    ToolSettingsHome m_home;
    QProcess m_process;
    QString m_device;
};
