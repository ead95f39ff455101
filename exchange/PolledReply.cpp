#include "exchange/PolledReply.h"

#include "platform/SerialPort.h"

namespace PolledReply {

bool complete(const QByteArray& text) {
    return text.contains("\r\n");
}

QByteArray read(SerialPort& port, int reads) {
    QByteArray text;
    for (int n = 0; n < reads; ++n) {
        text += port.readPending();
        if (complete(text) || !port.isOpen())
            break;
        port.waitForInput(kPauseMs);
    }
    return text;
}

} // namespace PolledReply
