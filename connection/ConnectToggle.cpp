#include "connection/ConnectToggle.h"

#include "connection/StatusChain.h"
#include "exchange/DataFile.h"
#include "link/Answers.h"
#include "link/Link.h"
#include "link/LinkView.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "platform/Sleeper.h"

#include <array>

namespace {

constexpr std::array<Control, 4> kFrames = {Control::FrameOnline, Control::FrameControls,
                                            Control::FrameConfig, Control::FrameUebertragen};

} // namespace

Outcome ConnectToggle::toggled() {
    if (m_suppressConnectClick) {
        m_suppressConnectClick = false;
        return Outcome::Done;
    }
    SerialPort& port = m_link.port();
    if (m_controls.isChecked(Control::Connect)) {
        QString failure;
        if (!openChosenPort(&failure))
            return fail(failure);
        m_link.dropIncompleteLine();
    } else {
        const bool told = !port.isOpen() || m_link.sendLine(QByteArrayLiteral("DISCONNECT"));
        port.close();
        if (!told) {
            becomeUnconnected();
            m_link.boxes().show(QStringLiteral("The handheld on %1 could not be told to "
                                               "disconnect: the port is gone. The port is closed.")
                                    .arg(portDescription()),
                                QString(), MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
            return Outcome::PortLost;
        }
    }

    if (port.isOpen()) {
        setFramesEnabled(true);
        m_link.view().replaceLog(QByteArrayLiteral("connecting...\r\n"));
        switch (handshake()) {
        case Handshake::Answered:
            return Outcome::Done;
        case Handshake::WriteFailed:
            // A port lost meanwhile (the cable pulled) is told by the one message about the
            // lost connection, with its reason, once this handler has ended.
            if (port.lossPending())
                return Outcome::PortLost;
            dropConnection();
            return fail(QStringLiteral("The handheld on %1 cannot be written to, so the port was "
                                       "closed. Check the cable, then connect again.")
                            .arg(portDescription()));
        case Handshake::Silent:
            m_link.boxes().show(QStringLiteral("Device does not respond."), QStringLiteral("Error"),
                                MessageBoxes::Icon::Error, MessageBoxes::Buttons::Ok);
            becomeUnconnected();
            return Outcome::NoAnswer;
        }
    }
    becomeUnconnected();
    return Outcome::Done;
}

bool ConnectToggle::openChosenPort(QString* failure) {
    // The number is the chosen item's text from its fourth character on ("COM12" gives 12).
    bool isNumber = false;
    const int number = m_controls.text(Control::Port).mid(3).toShort(&isNumber);
    if (!isNumber) {
        *failure = QStringLiteral("No port is chosen. Choose the handheld's port in the list, "
                                  "then connect again.");
        return false;
    }
    SerialPort& port = m_link.port();
    port.setPortNumber(number);
    const SerialPort::OpenResult opened = port.open();
    if (!opened.ok)
        *failure = opened.message;
    return opened.ok;
}

ConnectToggle::Handshake ConnectToggle::handshake() {
    SerialPort& port = m_link.port();
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        m_link.sleeper().sleepMs(kBeforeAttemptMs);
        if (!m_link.sendLine(QByteArrayLiteral("ONLINE")))
            return Handshake::WriteFailed;
        // What arrived before this attempt's own "ONLINE" went out: usually the answer to the
        // attempt before. A line before it (an echo, a late answer) is passed over.
        const QByteArray read = port.readPending();
        if (Answers::greets(read)) {
            m_controls.setText(Control::Connect, QStringLiteral("Connected"));
            const qsizetype lineEnd = read.lastIndexOf("\r\n");
            m_link.dropIncompleteLine();
            m_link.sleeper().sleepMs(kAfterOkMs);
            finishGreetingLine(read.mid(lineEnd < 0 ? 0 : lineEnd + 2));
            if (StatusChain::start(m_link) != Outcome::Done)
                return Handshake::WriteFailed;
            return Handshake::Answered;
        }
        m_link.sleeper().sleepMs(kAfterFailedAttemptMs);
    }
    return Handshake::Silent;
}

void ConnectToggle::finishGreetingLine(const QByteArray& unfinished) {
    if (unfinished.isEmpty())
        return;
    // The read ended inside its "Ok" line (the LF comes a moment after the CR). Its end has come
    // during the pause: read here, it is shown no more than the rest of the line was. What
    // follows it is the handheld's next line, for the receive handler. An end that has not come
    // yet reaches the receive handler, which must see it as the end of this line: as the front
    // of the first status reply, it would make that reply match no keyword, and the status chain
    // would stop there.
    const QByteArray more = unfinished + m_link.port().readPending();
    const qsizetype end = more.indexOf("\r\n");
    if (end < 0) {
        m_link.continueLine(more);
        return;
    }
    const QByteArray next = more.mid(end + 2);
    if (!next.isEmpty()) {
        m_link.view().appendLog(next);
        m_link.continueLine(next);
    }
}

void ConnectToggle::setFramesEnabled(bool enabled) {
    for (const Control frame : kFrames)
        m_controls.setEnabled(frame, enabled);
}

void ConnectToggle::becomeUnconnected() {
    setFramesEnabled(false);
    m_controls.setText(Control::Connect, QStringLiteral("Connect"));
    // When the toggle is still checked this runs the handler again, which disconnects.
    m_controls.setChecked(Control::Connect, false);
    m_link.setReplyMode(ReplyMode::Idle);
    m_dataFile.close();
    m_controls.setValue(Control::akku, 0);
}

Outcome ConnectToggle::fail(const QString& description) {
    m_link.boxes().show(description, QString(), MessageBoxes::Icon::None,
                        MessageBoxes::Buttons::Ok);
    // Only an uncheck that really changes the toggle raises its click, which the flag swallows;
    // a flag set without one would swallow the operator's next click instead.
    if (m_controls.isChecked(Control::Connect)) {
        m_suppressConnectClick = true;
        m_controls.setChecked(Control::Connect, false);
    }
    return Outcome::PortFailure;
}

void ConnectToggle::dropConnection() {
    m_link.port().close();
    // The uncheck must not run the handler: there is no port left to say "DISCONNECT" to.
    m_suppressConnectClick = m_controls.isChecked(Control::Connect);
    becomeUnconnected();
    m_suppressConnectClick = false;
}

void ConnectToggle::portLost(const QString& why, const QStringList& interrupted) {
    QStringList notes = interrupted;
    notes += m_link.takeLossNotes();
    notes.removeAll(QString());
    if (!m_controls.isChecked(Control::Connect))
        return; // not connected: the failure was handled where it happened
    dropConnection();
    QString cut = notes.join(QLatin1Char(' '));
    if (!cut.isEmpty())
        cut += QLatin1Char(' ');
    m_link.boxes().show(QStringLiteral("The connection to the handheld on %1 was lost (%2). %3"
                                       "Check the cable and the handheld, then connect again.")
                            .arg(portDescription(), why, cut),
                        QStringLiteral("Connection lost"), MessageBoxes::Icon::Warning,
                        MessageBoxes::Buttons::Ok);
}

QString ConnectToggle::portDescription() const {
    const SerialPort& port = m_link.port();
    const QString device = port.deviceName();
    const QString name = QStringLiteral("COM%1").arg(port.portNumber());
    // On Windows the device of COMn is COMn itself, which needs no second mention.
    if (device.isEmpty() || device == name)
        return name;
    return QStringLiteral("%1 (%2)").arg(name, device);
}
