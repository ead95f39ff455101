#include "link/PolledReply.h"

#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <algorithm>

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
    // A handheld that holds no records may leave the second number out.
    return skipNumber(line, bar + 1, false) == line.size();
}

bool isNumberAlone(const QByteArray& line) {
    return skipNumber(line, 0, true) == line.size();
}

} // namespace PolledReply
