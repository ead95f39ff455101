#include "exchange/PolledReply.h"

#include "platform/SerialPort.h"

namespace PolledReply {

bool complete(const QByteArray& text) {
    return text.contains("\r\n");
}

bool takeAnswer(QByteArray* text, const Answer& isAnswer, QByteArray* passed) {
    for (qsizetype end = text->indexOf("\r\n"); end >= 0; end = text->indexOf("\r\n")) {
        if (isAnswer(text->first(end)))
            return true;
        if (passed)
            *passed = text->first(end + 2);
        text->remove(0, end + 2);
    }
    return false;
}

QByteArray read(SerialPort& port, int reads, const Answer& isAnswer) {
    QByteArray text;
    QByteArray passed;
    for (int n = 0; n < reads; ++n) {
        text += port.readPending();
        if (takeAnswer(&text, isAnswer, &passed))
            return text;
        if (!port.isOpen())
            break;
        port.waitForInput(kPauseMs);
    }
    return text.isEmpty() ? passed : text;
}

QByteArray read(SerialPort& port, int reads) {
    return read(port, reads, [](const QByteArray&) { return true; });
}

} // namespace PolledReply
