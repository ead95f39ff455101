#include "benchmarks/endtoend/VirtualDisplay.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int kFirstDisplay = 90;
constexpr int kLastDisplay = 140;
constexpr int kStartMs = 5000;

} // namespace

VirtualDisplay::VirtualDisplay() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        m_error = QStringLiteral("Xvfb is not installed (Debian package xvfb)");
        return;
    }
    for (int number = kFirstDisplay; number <= kLastDisplay; ++number) {
        // A display whose lock or socket exists belongs to another server.
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) || QFile::exists(socket))
            continue;
        const QString name = QStringLiteral(":%1").arg(number);
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(xvfb, {name, QStringLiteral("-screen"), QStringLiteral("0"),
                              QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        QElapsedTimer waited;
        waited.start();
        while (m_server.state() != QProcess::NotRunning && !QFile::exists(socket) &&
               waited.elapsed() < kStartMs)
            QThread::msleep(10);
        if (m_server.state() != QProcess::NotRunning && QFile::exists(socket)) {
            m_name = name;
            return;
        }
        m_server.kill();
        m_server.waitForFinished(1000);
    }
    m_error = QStringLiteral("Xvfb did not start on any display from :%1 to :%2")
                  .arg(kFirstDisplay)
                  .arg(kLastDisplay);
}

VirtualDisplay::~VirtualDisplay() {
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(3000))
        m_server.kill();
    m_server.waitForFinished(1000);
}
