#include "online/IdentificationReads.h"

#include "link/Link.h"
#include "platform/Controls.h"
#include "platform/Sleeper.h"

Outcome IdentificationReads::readId() {
    return request(QByteArrayLiteral("READID"));
}

Outcome IdentificationReads::scanBarcode() {
    return request(QByteArrayLiteral("SCAN"));
}

Outcome IdentificationReads::request(const QByteArray& command) {
    m_link.clearLog();
    m_link.setReplyMode(ReplyMode::IdRead);
    return m_link.sendLine(command) ? Outcome::Done : m_link.unsent();
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
    // A repeat that cannot be written ends the reading silently, as a click's does: the lost
    // port's own message tells the operator, and no result comes to repeat it again.
    static_cast<void>(request(QByteArrayLiteral("READID")));
    return HandlerResult::ok();
}
