#pragma once

#include <QString>

class ConfigValues;
class Controls;
class DataFile;
class Link;
class SettingsStore;

// Window load and unload, and the three values that survive between runs: the port choice and
// the two CSV paths, in section "Config" of the settings store.
class Lifecycle {
public:
    Lifecycle(Controls& controls, Link& link, DataFile& dataFile, SettingsStore& settings,
              ConfigValues& config)
        : m_controls(controls), m_link(link), m_dataFile(dataFile), m_settings(settings),
          m_config(config) {}

    // Runs once, before the window is first shown: fills `Port` (COM1 to COM16), the five
    // configuration lists and `DisplayZeile` ("1" to "8", its shown "1" kept), sets the reply
    // mode to Idle, and restores the port choice and the two paths. The port stays closed.
    void load();

    // Runs once, when the window closes: with the port open it sends "DISCONNECT" and closes
    // the port; it closes the data file; then it saves the port choice and the two paths, and
    // says so when they could not be saved.
    void unload();

    // The stored form of a port index: the signed decimal number with one leading blank when it
    // is not negative (" 0", " 3", "-1").
    static QString storedPort(int index);
    // The port index a stored value selects: -1 to 15 as stored (surrounding blanks allowed),
    // 0 for any other whole number and for a value that is no whole number.
    static int portIndex(const QString& stored);
    // Runs once the handheld has answered the greeting: records the port at once in
    // "ConnectedPort" (COM3). "Port" holds whatever the list showed at unload, COM1 when nobody
    // chose; this key names only a port the operator really connected with.
    void noteConnected();
    // The COM number (1 to 16) the window last connected with; 0 when none is recorded or the
    // record is damaged. A program that greets the handheld unasked takes only this for a choice.
    static int connectedPort(const SettingsStore& settings);

private:
    Controls& m_controls;
    Link& m_link;
    DataFile& m_dataFile;
    SettingsStore& m_settings;
    ConfigValues& m_config;
};
