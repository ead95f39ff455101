#include "link/PolledReply.h"

#include "link/Answers.h"
#include "platform/Clock.h"
#include "platform/SerialPort.h"

#include <algorithm>
#include <utility>

namespace PolledReply {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

WaitResult wait(SerialPort& port, const Clock& clock, qint64 budgetMs, const Answer& isAnswer,
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

std::optional<QByteArray> waitForCount(SerialPort& port, const Clock& clock, const CountWait& how) {
    bool first = true;
    QByteArray shaped;
    QByteArray numberAlone;
    const auto isCount = [&](const QByteArray& line) {
        if (std::exchange(first, false) && how.firstMayBeTail)
            return Answers::isCountReply(line);
        if (Answers::isCountShaped(line))
            shaped = line;
        else if (how.numberAlone && Answers::isNumberAlone(line))
            numberAlone = line;
        return Answers::isCountReply(line);
    };
    const WaitResult reply = wait(port, clock, how.budgetMs, isCount);
    if (reply.answer)
        return reply.answer->chopped(kLineEnd.size());
    if (!shaped.isEmpty())
        return shaped;
    if (!numberAlone.isEmpty())
        return numberAlone;
    return std::nullopt;
}

} // namespace PolledReply
