#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

// quorvelino-sim on a pseudo-terminal, and a settings folder whose COM1 is that terminal, for
// tests that run the real tool against it.
class SimulatedHandheld {
public:
    explicit SimulatedHandheld(const QStringList& options = {}) {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(QV_SIM_PATH), options);
        if (m_process.waitForReadyRead(5000))
            m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        QFile ini(m_home.filePath(QStringLiteral("Quorvelino/Quorvelino.ini")));
        QDir(m_home.path()).mkpath(QStringLiteral("Quorvelino"));
        if (ini.open(QIODevice::WriteOnly))
            ini.write("[Ports]\nCOM1=" + m_device.toLocal8Bit() + "\n");
        qputenv("XDG_CONFIG_HOME", m_home.path().toLocal8Bit());
    }
    ~SimulatedHandheld() {
        qunsetenv("XDG_CONFIG_HOME");
        stop();
    }
    SimulatedHandheld(const SimulatedHandheld&) = delete;
    SimulatedHandheld& operator=(const SimulatedHandheld&) = delete;

    bool started() const { return !m_device.isEmpty(); }
    const QString& device() const { return m_device; }
    QString home() const { return m_home.path(); }

    // The cable is pulled: the simulator dies at once (SIGKILL), and with it the device.
    void pullCable() {
        m_process.kill();
        m_process.waitForFinished(3000);
    }

    // Ends the simulator as SIGTERM does: it writes its dump and removes its link.
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

private:
    QTemporaryDir m_home;
    QProcess m_process;
    QString m_device;
};

// Runs the event loop until the condition holds or the time is up; true when it holds.
inline bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}
