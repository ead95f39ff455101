#include "tests/support/SimulatedHandheld.h"

namespace {

constexpr int kStartMs = 5000;
constexpr int kEndMs = 3000;

} // namespace

SimulatedHandheld::SimulatedHandheld(const QStringList& options) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QV_SIM_PATH), options);
    // The simulator prints its device as its first line.
    if (m_process.waitForReadyRead(kStartMs))
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    m_home.mapCom1(m_device);
}

void SimulatedHandheld::pullCable() {
    m_process.kill();
    m_process.waitForFinished(kEndMs);
}

void SimulatedHandheld::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(kEndMs))
        m_process.kill();
    m_process.waitForFinished(1000);
}
