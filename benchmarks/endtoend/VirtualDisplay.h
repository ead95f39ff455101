#pragma once

#include <QProcess>
#include <QString>

// A virtual X server (Xvfb) on a display of its own, for as long as this object lives: the real
// X11 platform, with an X server whose CPU time can be measured beside the program's.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Empty when the server runs; otherwise why not.
    QString error() const { return m_error; }
    // ":93", for DISPLAY.
    QString name() const { return m_name; }
    qint64 pid() const { return m_server.processId(); }

private:
    QProcess m_server;
    QString m_name;
    QString m_error;
};
