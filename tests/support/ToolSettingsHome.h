#pragma once

#include <QString>
#include <QTemporaryDir>

// A folder of its own for the tool's settings, made the configuration home (XDG_CONFIG_HOME) of
// this process while it lives. The tool reads its settings when it is made, so map the port
// before making it.
class ToolSettingsHome {
public:
    ToolSettingsHome();
    ~ToolSettingsHome();
    ToolSettingsHome(const ToolSettingsHome&) = delete;
    ToolSettingsHome& operator=(const ToolSettingsHome&) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Points COM1 at `device`; false when the settings file could not be written.
    bool mapCom1(const QString& device);

private:
    QTemporaryDir m_dir;
};
