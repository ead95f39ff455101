#include "config/ConfigCommands.h"

#include "link/Link.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "platform/Sleeper.h"

namespace {

constexpr int kBetweenTimeoutsMs = 200;
constexpr int kBeforeDiscardMs = 100;

QByteArray checkDigit(bool checked) {
    return checked ? QByteArrayLiteral(" 1") : QByteArrayLiteral(" 0");
}

} // namespace

QByteArray ConfigCommands::wire(Control control) const {
    return Link::toWire(m_controls.text(control));
}

QByteArray ConfigCommands::leading(Control control, int count) const {
    return Link::toWire(m_controls.text(control).left(count));
}

Outcome ConfigCommands::setTime() {
    m_link.clearLog();
    if (m_link.sendLine("CLOCK " + wire(Control::Zeit)))
        return Outcome::Done;
    return m_link.reportUnsent(QStringLiteral("The time could not be sent: the port to the "
                                              "handheld is not open."));
}

Outcome ConfigCommands::send(const QByteArray& line) {
    return m_link.sendLine(line) ? Outcome::Done : m_link.unsent();
}

Outcome ConfigCommands::setTagType() {
    m_link.clearLog();
    return send("TAGTYP " + leading(Control::Tagtyp, 2));
}

Outcome ConfigCommands::setSwitchOffTime() {
    m_link.clearLog();
    return send("OFF " + wire(Control::Offtime));
}

Outcome ConfigCommands::setTimeouts() {
    m_link.clearLog();
    if (const Outcome read = send("TIMEOUT " + wire(Control::Readtimeout)); read != Outcome::Done)
        return read;
    m_link.sleeper().sleepMs(kBetweenTimeoutsMs);
    return send("GPSTIMEOUT " + wire(Control::gpstimeout));
}

Outcome ConfigCommands::setFdxCode() {
    m_link.clearLog();
    return send("FDXCODE " + leading(Control::FDXCode, 2));
}

Outcome ConfigCommands::setFeatures() {
    m_link.clearLog();
    const QByteArray beeper = "ENBEEP " + checkDigit(m_controls.isChecked(Control::EnBeeper));
    if (const Outcome sent = send(beeper); sent != Outcome::Done)
        return sent;
    m_link.sleeper().sleepMs(kBeforeDiscardMs);
    // The answer to the buzzer line is not shown, as far as it has arrived by now. Whatever
    // comes later (a slow handheld's answer, or the rest of one) reaches the log as usual.
    m_link.port().readPending();
    return send("GPS " + checkDigit(m_controls.isChecked(Control::EnGPS)));
}

Outcome ConfigCommands::setMode() {
    m_link.clearLog();
    return send("FUNCTION " + leading(Control::Betriebsart, 1) + ',' + leading(Control::Order, 1));
}

Outcome ConfigCommands::setLanguage() {
    m_link.clearLog();
    return send("LANGUAGE " + leading(Control::Sprache, 2));
}

Outcome ConfigCommands::setSerialNumber() {
    const QString snr = m_controls.text(Control::SNR);
    if (!snr.startsWith(QLatin1String("AE"))) {
        m_link.boxes().show(QStringLiteral("Format: AExxxxxx"), QStringLiteral("Error"),
                            MessageBoxes::Icon::None, MessageBoxes::Buttons::Ok);
        return Outcome::InvalidInput;
    }
    m_link.clearLog();
    return send("SNR+" + Link::toWire(snr.mid(2)));
}

void ConfigCommands::showPcTime() {
    m_controls.setText(Control::Zeit,
                       m_clock.localNow().toString(QStringLiteral("dd.MM.yyyy hh:mm")));
}
