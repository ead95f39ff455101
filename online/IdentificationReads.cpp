#include "online/IdentificationReads.h"

#include "link/Link.h"
#include "platform/Controls.h"
#include "platform/Sleeper.h"

void IdentificationReads::readId() {
    request(QByteArrayLiteral("READID"));
}

void IdentificationReads::scanBarcode() {
    request(QByteArrayLiteral("SCAN"));
}

void IdentificationReads::request(const QByteArray& command) {
    m_link.clearLog();
    m_link.setReplyMode(ReplyMode::IdRead);
    m_link.sendLine(command); // a failed write ends the action silently
}

HandlerResult IdentificationReads::handleIdResult(const QByteArray& line) {
    // A NUL the handheld puts before its answer is dropped; only the first character is examined.
    const QByteArray result = line.startsWith('\0') ? line.mid(1) : line;
    m_controls.setText(Control::IDAnzeige, QString::fromLatin1(result));
    m_link.setReplyMode(ReplyMode::Idle);
    // Read once per result, before the pause: a change during the pause counts next time.
    if (!m_controls.isChecked(Control::ReadCont))
        return HandlerResult::ok();
    m_link.sleeper().sleepMs(kRepeatPauseMs);
    request(QByteArrayLiteral("READID"));
    return HandlerResult::ok();
}
