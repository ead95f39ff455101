#include "benchmarks/endtoend/PacedFeed.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kTickMs = 4;

} // namespace

PacedFeed::PacedFeed(QByteArray stream) : m_stream(std::move(stream)) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &PacedFeed::pump);
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_error =
            QStringLiteral("no pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    const char* name = ::ptsname(m_master);
    m_device = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios raw{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &raw) != 0) {
        m_error = QStringLiteral("cannot open %1").arg(m_device);
        return;
    }
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
}

PacedFeed::~PacedFeed() {
    for (int fd : {m_slave, m_master}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void PacedFeed::start() {
    m_sent = 0;
    m_clock.start();
    m_timer.start();
}

void PacedFeed::pump() {
    const qint64 due = m_clock.nsecsElapsed() * kBytesPerSecond / 1'000'000'000 / kPiece * kPiece;
    while (m_sent < due) {
        const qsizetype at = m_written % (m_stream.size() - m_stream.size() % kPiece);
        const ssize_t put = ::write(m_master, m_stream.constData() + at, kPiece);
        if (put <= 0)
            return; // the reader is behind: the rest waits for the next tick
        m_sent += put;
        m_written += put;
    }
}
