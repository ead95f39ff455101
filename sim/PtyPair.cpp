#include "sim/PtyPair.h"

#include <QElapsedTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

void closeDescriptor(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

bool PtyPair::open() {
    return open(Options{});
}

bool PtyPair::open(const Options& options) {
    close();
    m_error.clear();
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC |
                              (options.nonBlockingMaster ? O_NONBLOCK : 0));
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    // ptsname() shares one buffer among all threads; tests open pairs on several.
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(name);
    if (!options.holdSlave)
        return true;

    // Non-blocking, so that closing it never waits for output the tool did not read.
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_slave < 0)
        return fail("open slave");
    termios settings{};
    if (::tcgetattr(m_slave, &settings) != 0)
        return fail("tcgetattr");
    ::cfmakeraw(&settings);
    if (!setLineSettings(settings))
        return fail("tcsetattr");
    return true;
}

bool PtyPair::send(const QByteArray& bytes, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    qsizetype done = 0;
    while (done < bytes.size() && m_master >= 0) {
        const ssize_t put =
            ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (put > 0) {
            done += put;
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        const qint64 left = timeoutMs - clock.elapsed();
        pollfd room{m_master, POLLOUT, 0};
        if (left <= 0 || ::poll(&room, 1, static_cast<int>(qMin<qint64>(left, 10))) < 0)
            return false;
    }
    return done == bytes.size();
}

termios PtyPair::lineSettings() const {
    termios settings{};
    if (m_slave >= 0)
        ::tcgetattr(m_slave, &settings);
    return settings;
}

bool PtyPair::setLineSettings(const termios& settings) {
    return m_slave >= 0 && ::tcsetattr(m_slave, TCSANOW, &settings) == 0;
}

int PtyPair::unread() const {
    int count = -1;
    if (m_slave < 0 || ::ioctl(m_slave, FIONREAD, &count) != 0)
        return -1;
    return count;
}

void PtyPair::discardUnread() {
    if (m_slave >= 0)
        ::tcflush(m_slave, TCIFLUSH);
}

void PtyPair::hangUp() {
    closeDescriptor(m_master);
}

void PtyPair::close() {
    closeDescriptor(m_master);
    closeDescriptor(m_slave);
}

bool PtyPair::fail(const char* call) {
    m_error = QStringLiteral("%1: %2").arg(QLatin1String(call),
                                           QString::fromLocal8Bit(std::strerror(errno)));
    close();
    return false;
}
