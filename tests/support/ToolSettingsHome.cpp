#include "tests/support/ToolSettingsHome.h"

#include <QDir>
#include <QFile>

ToolSettingsHome::ToolSettingsHome() {
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

ToolSettingsHome::~ToolSettingsHome() {
    qunsetenv("XDG_CONFIG_HOME");
}

bool ToolSettingsHome::mapCom1(const QString& device) {
    QDir(m_dir.path()).mkpath(QStringLiteral("Quorvelino"));
    QFile ini(m_dir.filePath(QStringLiteral("Quorvelino/Quorvelino.ini")));
    // COM1 chosen and connected with in the window, as the window stores it.
    const QByteArray content =
        "[Config]\nPort= 0\nConnectedPort=COM1\n[Ports]\nCOM1=" + device.toLocal8Bit() + "\n";
    return ini.open(QIODevice::WriteOnly) && ini.write(content) == content.size();
}
