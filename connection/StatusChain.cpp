#include "connection/StatusChain.h"

#include "config/ConfigValues.h"
#include "link/Answers.h"
#include "link/Link.h"
#include "link/NumberInText.h"
#include "platform/Controls.h"
#include "platform/Sleeper.h"

#include <array>
#include <limits>

namespace {

constexpr int kPauseBeforeNextQueryMs = 100;

// The query each reply is followed by; the serial number's reply ends the chain.
constexpr std::array<const char*, StatusReplies::kCount> kNextQuery = {
    "OFF",      "TIMEOUT",  "GPSTIMEOUT", "FDXCODE", "ENBEEP", "GPS",
    "FUNCTION", "LANGUAGE", "AKKU",       "VERSION", "SNR",    nullptr,
};

QString shown(const QByteArray& value) {
    return QString::fromLatin1(value);
}

QString overflow(const char* list, const QByteArray& value) {
    return QStringLiteral("The handheld reported the value %1 for %2, which does not fit a list "
                          "position. The status query stops here; reconnect to read the "
                          "settings again.")
        .arg(shown(value.trimmed()), QLatin1String(list));
}

} // namespace

Outcome StatusChain::start(Link& link) {
    link.setReplyMode(ReplyMode::StatusChain);
    return link.sendLine(QByteArrayLiteral("TAGTYP")) ? Outcome::Done : link.unsent();
}

HandlerResult StatusChain::handleStatusReply(StatusReply reply, const QByteArray& line) {
    const QByteArray value = Answers::statusValue(reply, line);
    if (reply == StatusReply::Tagtyp)
        m_stoppedShort = false; // the first reply of each chain
    else if (m_stoppedShort)
        return HandlerResult::ok(); // only logged: the chain has stopped, as its message said
    const HandlerResult decoded = decode(reply, value);
    if (decoded.failed()) {
        m_stoppedShort = true;
        return decoded;
    }
    const char* next = kNextQuery.at(static_cast<std::size_t>(reply));
    if (!next) {
        m_link.setReplyMode(ReplyMode::Idle);
        return HandlerResult::ok();
    }
    m_link.sleeper().sleepMs(kPauseBeforeNextQueryMs);
    // A query that cannot be written leaves the chain waiting, as a reply that never comes does;
    // the lost port's own message tells the operator.
    static_cast<void>(m_link.sendLine(QByteArray(next)));
    return HandlerResult::ok();
}

HandlerResult StatusChain::selectReported(ConfigValues::List list, const QByteArray& value) {
    const auto number =
        NumberInText::rounded(NumberInText::read(value), std::numeric_limits<qint16>::min(),
                              std::numeric_limits<qint16>::max());
    if (!number)
        return HandlerResult::failure(overflow(objectName(ConfigValues::control(list)), value));
    m_values.selectReported(list, static_cast<int>(*number));
    return HandlerResult::ok();
}

HandlerResult StatusChain::decode(StatusReply reply, const QByteArray& value) {
    switch (reply) {
    case StatusReply::Tagtyp:
        return selectReported(ConfigValues::List::Tagtyp, value);
    case StatusReply::Off:
        m_values.showSwitchOffTime(value);
        return HandlerResult::ok();
    case StatusReply::Timeout:
        m_controls.setText(Control::Readtimeout, shown(value));
        return HandlerResult::ok();
    case StatusReply::GpsTimeout:
        m_controls.setText(Control::gpstimeout, shown(value));
        return HandlerResult::ok();
    case StatusReply::FdxCode:
        return selectReported(ConfigValues::List::FdxCode, value);
    case StatusReply::EnBeep:
        m_values.setCheckValue(ConfigValues::Feature::Beeper, NumberInText::read(value));
        return HandlerResult::ok();
    case StatusReply::Gps:
        m_values.setCheckValue(ConfigValues::Feature::Gps, NumberInText::read(value));
        return HandlerResult::ok();
    case StatusReply::Function: {
        // The mode digit, one separator, then the capture order.
        const HandlerResult mode = selectReported(ConfigValues::List::Betriebsart, value);
        if (mode.failed())
            return mode;
        return selectReported(ConfigValues::List::Order, value.mid(2));
    }
    case StatusReply::Language:
        return selectReported(ConfigValues::List::Sprache, value);
    case StatusReply::Akku: {
        const double level = NumberInText::read(value);
        if (level >= 0.0 && level <= 100.0)
            m_controls.setValue(Control::akku, static_cast<int>(level));
        return HandlerResult::ok();
    }
    case StatusReply::Version:
        m_controls.setText(Control::Version, shown(value));
        return HandlerResult::ok();
    case StatusReply::Snr:
        m_controls.setText(Control::SNR, shown(value));
        return HandlerResult::ok();
    }
    return HandlerResult::ok();
}
