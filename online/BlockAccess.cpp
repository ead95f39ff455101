#include "online/BlockAccess.h"

#include "link/Link.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"

namespace {

void refuse(Link& link, const QString& text) {
    link.boxes().show(text, QStringLiteral("Error"), MessageBoxes::Icon::Warning,
                      MessageBoxes::Buttons::Ok);
}

} // namespace

Outcome BlockAccess::send(const QByteArray& line) {
    return m_link.sendLine(line) ? Outcome::Done : m_link.unsent();
}

QByteArray BlockAccess::field(Control control) const {
    return Link::toWire(m_controls.text(control));
}

bool BlockAccess::blockChosen() {
    if (!m_controls.text(Control::BlockAdress).isEmpty())
        return true;
    refuse(m_link, QStringLiteral("No block selected!"));
    return false;
}

// Each line goes out in one write: the handheld receives one contiguous line either way.
Outcome BlockAccess::readBlock() {
    m_link.clearLog();
    QByteArray line = QByteArrayLiteral("READ");
    const QByteArray from = field(Control::BlockAdress);
    if (!from.isEmpty()) {
        line += ' ' + from;
        const QByteArray to = field(Control::BlockEndAdress);
        if (!to.isEmpty())
            line += ' ' + to;
    }
    return send(line);
}

Outcome BlockAccess::readBlockHex() {
    m_link.clearLog();
    if (!blockChosen())
        return Outcome::InvalidInput;
    QByteArray line = "BINREAD " + field(Control::BlockAdress);
    const QByteArray key = field(Control::Key);
    if (!key.isEmpty())
        line += ' ' + key;
    return send(line);
}

Outcome BlockAccess::writeBlock() {
    m_link.clearLog();
    return send("WRITE " + field(Control::BlockAdress) + " \"" + field(Control::WriteData) + '"');
}

Outcome BlockAccess::writeBlockHex() {
    m_link.clearLog();
    if (!blockChosen())
        return Outcome::InvalidInput;
    const QByteArray data = field(Control::WriteData);
    if (data.isEmpty() || data.size() % 2 != 0) {
        refuse(m_link, QStringLiteral("Data are not valid."));
        return Outcome::InvalidInput;
    }
    QByteArray line = "BINWRITE " + field(Control::BlockAdress) + ' ' + data;
    const QByteArray key = field(Control::Key);
    if (!key.isEmpty())
        line += ' ' + key;
    return send(line);
}
