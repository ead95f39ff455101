#include "benchmarks/endtoend/Terminal.h"

#include "benchmarks/endtoend/PacedFeed.h"
#include "benchmarks/endtoend/ProcessCpu.h"
#include "benchmarks/endtoend/VirtualDisplay.h"
#include "sim/DeviceModel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

namespace {

constexpr int kStartMs = 10000;
constexpr int kSettleMs = 1000;

QJsonObject failed(const QString& why) {
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), why}};
}

// Runs the event loop for a while: the feed goes on sending meanwhile.
void run(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

QString xdotool(const QString& display, const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("xdotool"), args);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool holdsOpen(qint64 pid, const QString& device) {
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::Files | QDir::System)) {
        if (QFileInfo(fds + QLatin1Char('/') + fd).symLinkTarget() == device)
            return true;
    }
    return false;
}

// Settings for a throw-away home that name the device at 38400 baud 8N1.
bool writeSettings(const QTemporaryDir& home, const QString& device) {
    QDir(home.path()).mkpath(QStringLiteral(".config/CuteCom"));
    QFile settings(home.filePath(QStringLiteral(".config/CuteCom/CuteCom5.conf")));
    if (!settings.open(QIODevice::WriteOnly))
        return false;
    settings.write(
        "[sessions]\n1\\BaudRate=38400\n1\\DataBits=8\n1\\Device=" + device.toLocal8Bit() +
        "\n1\\FlowControl=0\n1\\OpenMode=3\n1\\Parity=0\n1\\StopBits=1\n"
        "1\\name=Default\nsize=1\n");
    settings.close();
    return true;
}

void startTerminal(QProcess& cutecom, const QTemporaryDir& home, const VirtualDisplay& display,
                   const QString& modemLines) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    env.insert(QStringLiteral("DISPLAY"), display.name());
    env.insert(QStringLiteral("LD_PRELOAD"), modemLines);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    cutecom.setProcessEnvironment(env);
    // It tells the session it loads on its error output, which would break the progress line.
    cutecom.setStandardOutputFile(QProcess::nullDevice());
    cutecom.setStandardErrorFile(QProcess::nullDevice());
    cutecom.start(QStringLiteral("cutecom"), {});
}

// The window's id once it is shown, or an empty text when it is not within kStartMs of `waited`
// starting.
QString waitForWindow(const VirtualDisplay& display, const QElapsedTimer& waited) {
    QString window;
    while (window.isEmpty() && waited.elapsed() < kStartMs) {
        run(100);
        window = xdotool(display.name(), {QStringLiteral("search"), QStringLiteral("--name"),
                                          QStringLiteral("^CuteCom - ")})
                     .section(QLatin1Char('\n'), 0, 0);
    }
    return window;
}

// Opens the device as the operator does, with Alt+O in the window; true once the terminal holds
// it open, within kStartMs of `waited` starting.
bool openDevice(const QProcess& cutecom, const VirtualDisplay& display, const QString& window,
                const QString& device, const QElapsedTimer& waited) {
    xdotool(display.name(), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool(display.name(),
            {QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("alt+o")});
    while (!holdsOpen(cutecom.processId(), device) && waited.elapsed() < kStartMs)
        run(50);
    return holdsOpen(cutecom.processId(), device);
}

} // namespace

namespace Terminal {

QJsonObject measure(const VirtualDisplay& display, const QString& modemLines, const QSize& size,
                    int idleMs, int records, int limitMs) {
    for (const char* program : {"cutecom", "xdotool"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty())
            return failed(QStringLiteral("%1 is not installed").arg(QLatin1String(program)));
    }
    PacedFeed feed(DeviceModel::demoRecords(records).join("\r\n") + "\r\n");
    if (!feed.error().isEmpty())
        return failed(feed.error());
    QTemporaryDir home;
    if (!writeSettings(home, feed.device()))
        return failed(QStringLiteral("cannot write cutecom's settings"));

    QProcess cutecom;
    startTerminal(cutecom, home, display, modemLines);
    const auto stop = [&cutecom] {
        cutecom.kill();
        cutecom.waitForFinished(3000);
    };
    QElapsedTimer waited;
    waited.start();
    const QString window = waitForWindow(display, waited);
    if (window.isEmpty()) {
        stop();
        return failed(QStringLiteral("cutecom showed no window"));
    }
    xdotool(display.name(), {QStringLiteral("windowsize"), QStringLiteral("--sync"), window,
                             QString::number(size.width()), QString::number(size.height())});
    if (!openDevice(cutecom, display, window, feed.device(), waited)) {
        stop();
        return failed(QStringLiteral("cutecom did not open %1").arg(feed.device()));
    }
    run(kSettleMs);

    const QList<qint64> pids{cutecom.processId(), display.pid()};
    SpanCpu idle(pids);
    run(idleMs);
    idle.end();
    SpanCpu busy(pids);
    feed.start();
    QElapsedTimer sending;
    sending.start();
    while (!feed.finished() && sending.elapsed() < limitMs)
        run(100);
    feed.stop();
    run(kSettleMs);
    busy.end();
    const QString transport = imageTransport(cutecom.processId());
    const bool alive = cutecom.state() == QProcess::Running && busy.cpuNs(0) >= 0;
    stop();
    if (!alive)
        return failed(QStringLiteral("cutecom ended while records arrived"));
    return SpanCpu::idleAndBusy(idle, busy, feed.written(), transport);
}

} // namespace Terminal
