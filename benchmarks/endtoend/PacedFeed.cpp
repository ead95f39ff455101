#include "benchmarks/endtoend/PacedFeed.h"

#include <unistd.h>

namespace {

constexpr int kTickMs = 4;

} // namespace

PacedFeed::PacedFeed(QByteArray stream) : m_stream(std::move(stream)) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &PacedFeed::pump);
    if (!m_pty.open({.nonBlockingMaster = true, .holdSlave = true}))
        m_error = QStringLiteral("no pseudo-terminal: %1").arg(m_pty.errorString());
}

void PacedFeed::start() {
    m_written = 0;
    m_clock.start();
    m_timer.start();
}

void PacedFeed::pump() {
    const qint64 due = m_clock.nsecsElapsed() * kBytesPerSecond / 1'000'000'000 / kPiece * kPiece;
    while (m_written < qMin(due, m_stream.size())) {
        const ssize_t put = ::write(m_pty.master(), m_stream.constData() + m_written,
                                    qMin<qint64>(kPiece, m_stream.size() - m_written));
        if (put <= 0)
            return; // the reader is behind: the rest waits for the next tick
        m_written += put;
    }
    if (finished())
        stop();
}
