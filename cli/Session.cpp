#include "cli/Session.h"

#include "cli/Printable.h"
#include "cli/ProfileWriter.h"
#include "cli/Report.h"
#include "link/Answers.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// How often a wait looks at what it waits for and at a stop request.
constexpr int kTickMs = 50;
// The window's timer, which ends a download that stopped short.
constexpr int kTimer1Ms = 500;

bool sameDevice(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (a == b)
        return true;
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

QString signalName(int number) {
    switch (number) {
    case SIGINT:
        return QStringLiteral("Interrupted (Ctrl+C).");
    case SIGTERM:
        return QStringLiteral("Stopped by SIGTERM.");
#ifdef Q_OS_WIN
    case Interruption::kCtrlBreak:
        return QStringLiteral("Interrupted (Ctrl+Break).");
    case Interruption::kConsoleClosed:
        return QStringLiteral("Stopped: the console window was closed.");
#else
    case SIGHUP:
        return QStringLiteral("Stopped: the terminal was closed (SIGHUP).");
#endif
    default:
        return QStringLiteral("Stopped by signal %1.").arg(number);
    }
}

} // namespace

Session::Session(const CommandLine::Request& request)
    : m_request(request),
      m_tracing(request.verbose ? std::make_unique<TracingPort>(m_serialPort, stderr) : nullptr),
      m_port(m_tracing ? static_cast<SerialPort&>(*m_tracing) : m_serialPort,
             [this] { return stopped(); }),
      // With --verbose the traced lines tell how far a transfer has come.
      m_progress(stderr, !request.quiet && !request.verbose && ::isatty(STDERR_FILENO)),
      m_boxes(stderr, request.yes, request.quiet, m_progress),
      m_handlers({m_port, m_watch, m_boxes, m_clock, m_clock, m_controls, m_portSettings, m_dialogs,
                  m_progress, [this](std::function<void()> call) {
                      QTimer::singleShot(0, &m_context, std::move(call));
                  }}) {}

int Session::run() {
    if (m_request.timeoutSeconds > 0)
        m_interruption.limitTo(m_request.timeoutSeconds);
    m_handlers.lifecycle.load();
    if (m_request.command == CommandLine::Command::Ports) {
        writeOutput(
            Report::ports(m_portMap, Lifecycle::connectedPort(m_settings) - 1, m_request.json));
        return m_verdict.code();
    }
    if (!choosePort())
        return m_verdict.code();
    m_boxes.setSubject(subject());
    if (!fileUsable())
        return m_verdict.code();
    if (m_request.command == CommandLine::Command::Download) {
        // An empty working file is removed and the target left as it was.
        m_handlers.download.setKeptText([this](const QString& path, qint64 received) {
            return received > 0 ? RecordDownload::keptInFile(path) : m_target.noneKept();
        });
    }
    m_boxes.setMuted([this] { return stopped(); });
    m_port.awaitQuietOnOpen(m_request.timeoutSeconds > 0 ? m_request.timeoutSeconds * 1000
                                                         : kStillSendingMs);
    wire();

    if (connect() && waitForStatusQueries())
        doJob();
    finish();
    if (m_request.command == CommandLine::Command::Download)
        saveRecords();

    if (!m_verdict.failed() && !m_output.isEmpty())
        writeOutput(m_output);
    if (m_verdict.failed())
        m_boxes.release();
    else
        m_boxes.forget();
    return m_verdict.code();
}

void Session::writeOutput(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    errno = 0;
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout) ==
                             std::size_t(bytes.size()) &&
                         std::fflush(stdout) == 0;
    if (written)
        return;
    // Values that never reached their reader are no success, whatever the handheld did.
    m_boxes.print(QStringLiteral("The values could not be written to standard output: %1.")
                      .arg(QString::fromLocal8Bit(std::strerror(errno))));
    m_verdict.note(ExitCode::kFile);
}

bool Session::fileUsable() {
    QString why;
    if (m_request.command == CommandLine::Command::Download && !m_target.prepare(&why))
        why = QStringLiteral("The records cannot be saved: %1.").arg(why);
    else if (m_request.command == CommandLine::Command::Upload && !m_source.prepare(&why))
        why = QStringLiteral("The selections cannot be loaded: %1.").arg(why);
    else if (m_request.command == CommandLine::Command::ConfigApply)
        why = m_profile.read(m_request.file);
    if (why.isEmpty())
        return true;
    // Said before the port is opened: the handheld is not greeted for a job that cannot be done.
    m_boxes.print(why);
    m_verdict.note(Outcome::FileError);
    return false;
}

bool Session::choosePort() {
    // The port given with --port, else the one QUORVELINO_PORT names, else the one the window
    // last connected with. The list's own choice is no choice: it stands on COM1 when nobody
    // chose, and the window stores it whether or not anybody did.
    CommandLine::Request port = m_request;
    const QString fromEnvironment = qEnvironmentVariable("QUORVELINO_PORT");
    if (port.comNumber == 0 && port.device.isEmpty() && !fromEnvironment.isEmpty()) {
        QString error;
        if (!CommandLine::readPort(fromEnvironment, QStringLiteral("QUORVELINO_PORT"), &port,
                                   &error)) {
            m_boxes.print(error);
            m_verdict.note(ExitCode::kUsage);
            return false;
        }
    }
    if (port.comNumber > 0) {
        m_controls.setCurrentIndex(Control::Port, port.comNumber - 1);
    } else if (!port.device.isEmpty()) {
        const int number = numberFor(port.device);
        m_portSettings.mapDevice(number, port.device);
        m_controls.setCurrentIndex(Control::Port, number - 1);
    } else if (const int connected = Lifecycle::connectedPort(m_settings); connected > 0) {
        m_controls.setCurrentIndex(Control::Port, connected - 1);
    } else {
        // Greeting whatever device comes first could set a stranger's modem talking.
#ifdef Q_OS_WIN
        const QString forms = QStringLiteral("COM1 to COM%1").arg(CommandLine::kWindowsComNumbers);
#else
        const QString forms =
            QStringLiteral("COM1 to COM%1, a device such as /dev/ttyUSB0, or its link in "
                           "/dev/serial/by-id")
                .arg(CommandLine::kComNumbers);
#endif
        m_boxes.print(QStringLiteral("No port is chosen. Give one with -p/--port (%1), set "
                                     "QUORVELINO_PORT, or connect to the handheld once in the "
                                     "window. %2")
                          .arg(forms, Report::presentPorts(m_portMap)));
        m_verdict.note(ExitCode::kUsage);
        return false;
    }
    return true;
}

int Session::numberFor(const QString& device) const {
    int unused = 0;
    for (int number = 1; number <= CommandLine::kComNumbers; ++number) {
        const QString standing = m_portMap.deviceFor(number);
        if (sameDevice(standing, device))
            return number;
        if (standing.isEmpty() && unused == 0)
            unused = number;
    }
    return unused > 0 ? unused : 1;
}

QString Session::subject() const {
    const int number = m_controls.text(Control::Port).mid(3).toInt();
    const QString device = m_portMap.deviceFor(number);
    const QString port = QStringLiteral("COM%1").arg(number);
    // On Windows the device of COMn is COMn itself, which needs no second mention.
    QString text =
        device.isEmpty() || device == port ? port : QStringLiteral("%1 (%2)").arg(port, device);
    if (m_request.file == QLatin1String("-"))
        text += m_request.command == CommandLine::Command::Download
                    ? QStringLiteral(", standard output")
                    : QStringLiteral(", standard input");
    else if (!m_request.file.isEmpty())
        text += QStringLiteral(", ") + m_request.file;
    return text;
}

void Session::wire() {
    m_handlers.setLossObserver([this] { noteLoss(); });
    QObject::connect(&m_timer1, &QTimer::timeout, &m_context, [this] { m_handlers.timerTick(); });
    m_timer1.start(kTimer1Ms);
}

void Session::noteLoss() {
    // Once the run is stopped, the run itself says what the stop cut short.
    if (!stopped())
        m_verdict.note(Outcome::PortLost, transferCutShort());
}

bool Session::transferCutShort() const {
    if (m_request.command == CommandLine::Command::Upload)
        return m_uploadCutShort;
    return m_request.command == CommandLine::Command::Download &&
           m_handlers.download.announced() > 0 &&
           m_handlers.download.received() < m_handlers.download.announced();
}

bool Session::connect() {
    // As the operator's click: the toggle's handler runs on the change.
    m_controls.setChecked(Control::Connect, true);
    if (stopped())
        return false;
    if (!connected()) {
        if (m_port.stillSending())
            m_verdict.note(ExitCode::kNoAnswer);
        else
            m_verdict.note(m_handlers.toggled() == Outcome::Done ? Outcome::PortFailure
                                                                 : m_handlers.toggled());
        return false;
    }
    m_watch.restart();
    return true;
}

bool Session::waitForStatusQueries() {
    const bool ended = waitUntil([&] {
        return m_handlers.link.replyMode() != ReplyMode::StatusChain || !connected() ||
               m_handlers.statusChain.stoppedShort() || m_watch.quietMs() > kQuietMs;
    });
    if (!ended)
        return false;
    if (m_handlers.statusChain.stoppedShort()) {
        m_verdict.note(Outcome::BadAnswer);
        return false;
    }
    if (!connected()) {
        m_verdict.note(Outcome::NoAnswer);
        return false;
    }
    if (m_handlers.link.replyMode() == ReplyMode::StatusChain) {
        m_boxes.print(QStringLiteral("The handheld stopped answering the status queries: nothing "
                                     "came for %1 seconds.")
                          .arg(kQuietMs / 1000));
        m_verdict.note(ExitCode::kNoAnswer);
        return false;
    }
    return true;
}

void Session::doJob() {
    switch (m_request.command) {
    case CommandLine::Command::Status: {
        const Report::Values values = Report::status(m_controls, m_watch.batteryReadable());
        m_output = m_request.json ? Report::json(values) : Report::lines(values);
        return;
    }
    case CommandLine::Command::Download:
        download();
        return;
    case CommandLine::Command::Upload:
        upload();
        return;
    case CommandLine::Command::Erase:
        erase();
        return;
    case CommandLine::Command::Stats:
        statistics();
        return;
    case CommandLine::Command::SetTime:
        setTime();
        return;
    case CommandLine::Command::ConfigApply:
        applyProfile();
        return;
    case CommandLine::Command::Help:
    case CommandLine::Command::Version:
    case CommandLine::Command::Ports:
        return;
    }
}

void Session::download() {
    m_controls.setText(Control::PfadSpeichern, m_target.workingPath());
    const Outcome started = runHandler([this] { return m_handlers.download.start(); });
    m_noRecords = started == Outcome::NoRecords;
    if (started != Outcome::Done) {
        m_verdict.note(started);
        settle();
    } else {
        // The records arrive through the event loop; a handheld that stops sending them is given
        // up by the download's own stall check, which the window's timer runs.
        if (!waitUntil([this] { return !m_handlers.download.transferring(); }))
            return;
        settle();
        m_verdict.note(m_handlers.download.transferOutcome(), transferCutShort());
    }
    // A handheld without records is a success too, and says so: 0 of 0.
    if (m_request.json)
        m_output = Report::json(Report::download(m_handlers.download, m_request.file));
}

void Session::saveRecords() {
    const RecordDownload& download = m_handlers.download;
    const bool arrived = download.announced() > 0 && download.received() == download.announced() &&
                         download.transferOutcome() == Outcome::Done;
    const DownloadTarget::Result saved = m_target.settle(m_noRecords || arrived);
    if (!saved.message.isEmpty())
        m_boxes.print(saved.message);
    if (saved.failed)
        m_verdict.note(ExitCode::kFile);
}

void Session::upload() {
    m_controls.setText(Control::PfadLaden, m_source.path());
    const Outcome outcome = runHandler([this] { return m_handlers.upload.start(); });
    m_uploadCutShort = outcome == Outcome::PortLost || outcome == Outcome::PortFailure;
    // A lost port is told by the message about the lost connection, which follows.
    if (outcome != Outcome::PortLost)
        m_verdict.note(outcome, m_uploadCutShort);
    settle();
    if (m_request.json)
        m_output = Report::json(Report::upload(m_handlers.upload, m_request.file));
}

void Session::erase() {
    m_watch.markAnswer();
    const bool records = m_request.memory == CommandLine::Memory::Records;
    const Outcome outcome = runHandler([this, records] {
        return records ? m_handlers.memory.eraseRecords() : m_handlers.memory.eraseSelections();
    });
    if (outcome != Outcome::PortLost)
        m_verdict.note(outcome);
    awaitAnswer(records ? "DEL E" : "DEL T");
    if (m_request.json)
        m_output =
            Report::json({{QStringLiteral("erased"),
                           records ? QStringLiteral("records") : QStringLiteral("selections")}});
}

void Session::statistics() {
    const MemoryCommands::Statistics counted =
        runHandler([this] { return m_handlers.memory.showStatistics(); });
    settle();
    if (stopped() || m_verdict.failed())
        return;
    if (counted.outcome != Outcome::Done) {
        if (counted.outcome == Outcome::NoAnswer)
            m_boxes.print(
                QStringLiteral("The handheld did not answer when asked for its statistics."));
        m_verdict.note(counted.outcome);
        return;
    }
    const Report::Values values = Report::statistics(counted.customCodes, counted.records);
    m_output = m_request.json ? Report::json(values) : Report::lines(values);
}

void Session::setTime() {
    m_watch.markAnswer();
    // The time shown, as the window's timer keeps it, is what "Set time" sends.
    m_handlers.configCommands.showPcTime();
    const QString time = m_controls.text(Control::Zeit);
    const Outcome outcome = runHandler([this] { return m_handlers.configCommands.setTime(); });
    if (outcome != Outcome::PortLost)
        m_verdict.note(outcome);
    awaitAnswer("CLOCK");
    const Report::Values values = {{QStringLiteral("time"), time}};
    m_output = m_request.json ? Report::json(values) : Report::lines(values);
}

void Session::applyProfile() {
    ProfileWriter writer(
        m_handlers, m_controls, m_watch,
        [this](const std::function<bool()>& done) { return waitUntil(done); }, kQuietMs);
    const Outcome outcome = writer.apply(m_profile, [this] { return waitForStatusQueries(); });
    if (!writer.message().isEmpty()) {
        m_boxes.print(writer.message());
        m_verdict.note(outcome);
    } else if (outcome == Outcome::Done && m_request.json) {
        m_output = Report::json(Report::status(m_controls, m_watch.batteryReadable()));
    }
}

void Session::awaitAnswer(const char* command) {
    settle();
    if (stopped() || m_verdict.failed() || !connected())
        return;
    QElapsedTimer waited;
    waited.start();
    if (!waitUntil([&] { return m_watch.answer() || !connected() || waited.elapsed() > kQuietMs; }))
        return;
    if (m_verdict.failed())
        return; // the lost connection has told it
    if (!m_watch.answer()) {
        m_boxes.print(QStringLiteral("The handheld did not answer \"%1\" within %2 seconds, so it "
                                     "is not known whether it did it.")
                          .arg(QLatin1String(command))
                          .arg(kQuietMs / 1000));
        m_verdict.note(Outcome::NoAnswer);
        return;
    }
    if (Answers::acknowledgement(*m_watch.answer()) == Answers::Ack::Done)
        return;
    m_boxes.print(QStringLiteral("The handheld answered \"%1\" with \"%2\" instead of \"Ok\", "
                                 "so it did not do it.")
                      .arg(QLatin1String(command),
                           Printable::escaped(QString::fromLatin1(m_watch.answer()->trimmed()))));
    m_verdict.note(Outcome::ErrorAnswer);
}

void Session::finish() {
    m_timer1.stop();
    if (!stopped() && connected()) {
        // Unchecking the toggle says "DISCONNECT", closes the port and the data file.
        m_controls.setChecked(Control::Connect, false);
        m_verdict.note(m_handlers.toggled());
    }
    if (stopped())
        stop();
}

void Session::stop() {
    // The handlers see a lost port from here on; what they were cutting short is in their notes.
    m_port.cutOff();
    QStringList notes = m_handlers.link.takeLossNotes();
    notes << m_handlers.download.abandon();
    if (m_port.stillSending())
        notes << QStringLiteral("The handheld was still sending, so it was not greeted.");
    const bool told = m_port.goodbye();
    // The toggle's handler finds the port closed and only returns to the unconnected state.
    m_controls.setChecked(Control::Connect, false);
    notes.removeAll(QString());

    QString text;
    if (m_interruption.reason() == Interruption::Reason::Signal) {
        text = signalName(Interruption::signalNumber());
        m_verdict = Verdict();
        m_verdict.note(ExitCode::kSignalBase + Interruption::signalNumber());
    } else {
        text = QStringLiteral("Stopped at the time limit of %1 (--timeout).")
                   .arg(Printable::seconds(m_interruption.limitSeconds()));
        m_verdict = Verdict();
        m_verdict.note(ExitCode::kTimeLimit);
    }
    if (!notes.isEmpty())
        text += QLatin1Char(' ') + notes.join(QLatin1Char(' '));
    if (!told)
        text +=
            QStringLiteral(" The handheld could not be told to disconnect; the port is closed.");
    m_boxes.print(text);
}

bool Session::waitUntil(const std::function<bool()>& done) {
    if (stopped())
        return false;
    if (done())
        return true;
    QEventLoop loop;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        if (stopped() || done())
            loop.quit();
    });
    tick.start(kTickMs);
    loop.exec();
    return !stopped();
}

void Session::settle() {
    QElapsedTimer waited;
    waited.start();
    waitUntil([&] { return waited.elapsed() >= kTickMs; });
}
