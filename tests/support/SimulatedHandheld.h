#pragma once

#include "tests/support/ToolSettingsHome.h"
#include "tests/support/WaitUntil.h"

#include <QProcess>
#include <QStringList>

// quorvelino-sim, started with the given options, on a pseudo-terminal, and a settings home whose
// COM1 is that terminal, for tests that run the real tool or the command line against it.
//
// The tool opens the terminal through a link in the settings home, never by its number: once the
// simulator has ended, another test's terminal may get that number at once, and a tool that
// connects again must find this handheld gone, not open a stranger.
class SimulatedHandheld {
public:
    explicit SimulatedHandheld(const QStringList& options = {});
    ~SimulatedHandheld() { stop(); }
    SimulatedHandheld(const SimulatedHandheld&) = delete;
    SimulatedHandheld& operator=(const SimulatedHandheld&) = delete;

    bool started() const { return !m_device.isEmpty(); }
    // The link the tool opens; it dangles once the simulator has ended.
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
