#include "link/PolledReply.h"

#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <algorithm>
#include <utility>

namespace PolledReply {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// The position after blanks, one run of decimal digits and blanks from `at`; -1 when there are no
// digits and they are required.
qsizetype skipNumber(const QByteArray& text, qsizetype at, bool required) {
    while (at < text.size() && text[at] == ' ')
        ++at;
    const qsizetype digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    if (at == digits && required)
        return -1;
    while (at < text.size() && text[at] == ' ')
        ++at;
    return at;
}

} // namespace

Outcome wait(SerialPort& port, const Clock& clock, qint64 budgetMs, const Answer& isAnswer,
             const QByteArray& carried) {
    const qint64 deadline = clock.monotonicMs() + budgetMs;
    QByteArray text = carried;
    QByteArray passed;
    for (;;) {
        text += port.readPending();
        for (qsizetype end = text.indexOf(kLineEnd); end >= 0; end = text.indexOf(kLineEnd)) {
            if (isAnswer(text.first(end)))
                return {text.first(end + kLineEnd.size()), {}};
            passed = text.first(end + kLineEnd.size());
            text.remove(0, end + kLineEnd.size());
        }
        const qint64 left = deadline - clock.monotonicMs();
        if (left <= 0 || !port.isOpen())
            break;
        port.waitForInput(static_cast<int>(std::min<qint64>(left, kPauseMs)));
    }
    return {std::nullopt, text.isEmpty() ? passed : text};
}

bool isCountReply(const QByteArray& line) {
    const qsizetype bar = skipNumber(line, 0, true);
    if (bar < 0 || bar >= line.size() || line[bar] != '|')
        return false;
    return isRecordsPart(line.mid(bar + 1));
}

bool isRecordsPart(const QByteArray& text) {
    // A handheld that holds no records may leave the number out.
    qsizetype at = skipNumber(text, 0, false);
    if (at > 0 && at < text.size() && text[at] == '.' && text[at - 1] != ' ')
        at = skipNumber(text, at + 1, false);
    return at == text.size();
}

bool isCountShaped(const QByteArray& line) {
    const qsizetype bar = skipNumber(line, 0, true);
    return bar >= 0 && bar < line.size() && line[bar] == '|' && line.indexOf('|', bar + 1) < 0;
}

bool isNumberAlone(const QByteArray& line) {
    return skipNumber(line, 0, true) == line.size();
}

std::optional<QByteArray> waitForCount(SerialPort& port, const Clock& clock, const CountWait& how) {
    bool first = true;
    QByteArray shaped;
    QByteArray numberAlone;
    const auto isCount = [&](const QByteArray& line) {
        if (std::exchange(first, false) && how.firstMayBeTail)
            return isCountReply(line);
        if (isCountShaped(line))
            shaped = line;
        else if (how.numberAlone && isNumberAlone(line))
            numberAlone = line;
        return isCountReply(line);
    };
    const Outcome reply = wait(port, clock, how.budgetMs, isCount);
    if (reply.answer)
        return reply.answer->chopped(kLineEnd.size());
    if (!shaped.isEmpty())
        return shaped;
    if (!numberAlone.isEmpty())
        return numberAlone;
    return std::nullopt;
}

} // namespace PolledReply
