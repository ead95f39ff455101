#include "cli/TracingPort.h"

#include "cli/Printable.h"

TracingPort::TracingPort(SerialPort& port, std::FILE* out) : m_port(port), m_out(out) {
    m_sinceStart.start();
    m_port.setReceiveNotification([this] { notifyReceive(); });
    m_port.setLostNotification([this](const QString& why) { notifyLost(why); });
}

void TracingPort::followLoss() {
    if (m_port.lossPending() && !lossPending())
        markLost();
}

SerialPort::OpenResult TracingPort::open() {
    m_receivedLine.clear();
    m_receivedAfterCr = false;
    return m_port.open();
}

void TracingPort::close() {
    m_port.close();
    if (!m_receivedLine.isEmpty())
        print('<', m_receivedLine);
    m_receivedLine.clear();
    m_receivedAfterCr = false;
}

bool TracingPort::write(const QByteArray& bytes) {
    // A write is whole: what follows its last line end is printed as a line too.
    QByteArray pending = bytes;
    printLines('>', &pending, &m_sentAfterCr);
    if (!pending.isEmpty())
        print('>', pending);
    const bool written = m_port.write(bytes);
    followLoss();
    return written;
}

bool TracingPort::waitForInput(int timeoutMs) {
    const bool waiting = m_port.waitForInput(timeoutMs);
    followLoss();
    return waiting;
}

QByteArray TracingPort::received(const QByteArray& bytes) {
    followLoss();
    m_receivedLine += bytes;
    printLines('<', &m_receivedLine, &m_receivedAfterCr);
    return bytes;
}

void TracingPort::printLines(char direction, QByteArray* pending, bool* afterCr) {
    qsizetype start = 0;
    if (*afterCr && pending->startsWith('\n'))
        start = 1;
    if (!pending->isEmpty())
        *afterCr = false;
    for (qsizetype at = start; at < pending->size(); ++at) {
        const char c = pending->at(at);
        if (c != '\r' && c != '\n')
            continue;
        print(direction, pending->mid(start, at - start));
        if (c == '\r' && at + 1 < pending->size() && pending->at(at + 1) == '\n')
            ++at;
        else
            *afterCr = c == '\r' && at + 1 == pending->size();
        start = at + 1;
    }
    pending->remove(0, start);
}

void TracingPort::print(char direction, const QByteArray& line) {
    const QString text = QStringLiteral("%1 %2 %3\n")
                             .arg(double(m_sinceStart.elapsed()) / 1000.0, 7, 'f', 3)
                             .arg(QLatin1Char(direction))
                             .arg(Printable::escaped(QString::fromLatin1(line)));
    std::fputs(text.toLocal8Bit().constData(), m_out);
    std::fflush(m_out);
}
