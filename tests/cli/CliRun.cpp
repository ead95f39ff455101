#include "tests/cli/CliRun.h"

#include <csignal>

CliRun::CliRun(const QString& configHome) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(display));
    m_process.setProcessEnvironment(environment);
}

CliRun::~CliRun() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void CliRun::setEnvironment(const QString& name, const QString& value) {
    QProcessEnvironment environment = m_process.processEnvironment();
    environment.insert(name, value);
    m_process.setProcessEnvironment(environment);
}

CliRun::Result CliRun::run(const QStringList& arguments, int timeoutMs) {
    start(arguments);
    return finish(timeoutMs);
}

void CliRun::start(const QStringList& arguments) {
    m_process.start(QStringLiteral(QV_CLI_PATH), arguments);
    m_process.waitForStarted(5000);
    if (m_input) {
        m_process.write(*m_input);
        m_process.closeWriteChannel();
    }
}

void CliRun::interrupt() {
    ::kill(static_cast<pid_t>(m_process.processId()), SIGINT);
}

void CliRun::kill() {
    m_process.kill();
    m_process.waitForFinished(3000);
}

CliRun::Result CliRun::finish(int timeoutMs) {
    Result result;
    const bool ended = m_process.waitForFinished(timeoutMs);
    if (!ended)
        m_process.kill();
    m_process.waitForFinished(3000);
    result.out = m_process.readAllStandardOutput();
    result.err = m_process.readAllStandardError();
    if (ended && m_process.exitStatus() == QProcess::NormalExit)
        result.exitCode = m_process.exitCode();
    return result;
}
