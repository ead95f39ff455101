#include "benchmarks/endtoend/BenchSession.h"

#include "benchmarks/endtoend/ResourceUse.h"
#include "ui/Form1.h"
#include "ui/Tool.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int kSimStartMs = 5000;
constexpr int kShowMs = 5000;
constexpr int kConnectMs = 15000;
constexpr int kCheckEveryMs = 1000;

} // namespace

BenchSession::BenchSession(const QString& simPath, const QStringList& simOptions) {
    m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_sim.start(simPath, simOptions);
    if (!m_sim.waitForReadyRead(kSimStartMs)) {
        m_error = QStringLiteral("the simulated handheld %1 did not start").arg(simPath);
        return;
    }
    const QByteArray device = m_sim.readLine().trimmed();
    QDir(m_home.path()).mkpath(QStringLiteral("Quorvelino"));
    QFile ini(m_home.filePath(QStringLiteral("Quorvelino/Quorvelino.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[Ports]\nCOM1=" + device + "\n") < 0) {
        m_error = QStringLiteral("cannot write the settings file");
        return;
    }
    ini.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.path()));

    m_tool = std::make_unique<Tool>(&m_boxes, nullptr, &m_pauses);
    m_boxes.setOnShown([this] { notice(); });
    auto* snr = m_tool->window().findChild<QLineEdit*>(QStringLiteral("SNR"));
    QObject::connect(snr, &QLineEdit::textChanged, snr, [this] { notice(); });
    m_tool->start();
    Form1& window = m_tool->window();
    QElapsedTimer shown;
    shown.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
        if (shown.elapsed() > kShowMs) {
            m_error = QStringLiteral("the window was not shown");
            return;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QCoreApplication::processEvents();
}

BenchSession::~BenchSession() {
    if (m_tool)
        m_tool->window().close();
    m_tool.reset();
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(3000))
            m_sim.kill();
        m_sim.waitForFinished(1000);
    }
    qunsetenv("XDG_CONFIG_HOME");
}

QString BenchSession::filePath(const QString& name) const {
    return m_home.filePath(name);
}

bool BenchSession::connect(qint64* shownNs) {
    m_tool->controls().setCurrentIndex(Control::Port, 0);
    m_tool->window().connectButton().click();
    const bool connected = waitFor(
        [this] {
            return !m_tool->controls().text(Control::SNR).isEmpty() &&
                   m_tool->link().replyMode() == ReplyMode::Idle;
        },
        kConnectMs);
    if (shownNs)
        *shownNs = m_doneNs;
    return connected;
}

bool BenchSession::waitFor(const std::function<bool()>& done, int timeoutMs) {
    if (done()) {
        m_doneNs = monotonicNs();
        return true;
    }
    QEventLoop loop;
    bool held = false;
    m_check = [&] {
        if (!held && done()) {
            held = true;
            m_doneNs = monotonicNs();
            loop.quit();
        }
    };
    QTimer every;
    every.setInterval(kCheckEveryMs);
    QObject::connect(&every, &QTimer::timeout, &loop, [this] { m_check(); });
    every.start();
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    m_check = nullptr;
    return held;
}

void BenchSession::notice() {
    QTimer::singleShot(0, m_tool.get(), [this] {
        if (m_check)
            m_check();
    });
}
