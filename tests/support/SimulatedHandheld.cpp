#include "tests/support/SimulatedHandheld.h"

namespace {

constexpr int kStartMs = 30000;
constexpr int kEndMs = 30000;

} // namespace

SimulatedHandheld::SimulatedHandheld(const QStringList& options) {
    const QString link = m_home.filePath(QStringLiteral("handheld"));
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(QV_SIM_PATH),
                    options + QStringList{QStringLiteral("--link"), link});
    // The simulator prints its device as its first line, once the link stands.
    if (m_process.waitForReadyRead(kStartMs) && !m_process.readLine().trimmed().isEmpty())
        m_device = link;
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
