#include "platform/TtySerialPort.h"

#include "platform/OpenFailure.h"

#include <QElapsedTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// How long a write may wait for the driver to take its bytes.
constexpr int kWriteTimeoutMs = 2000;

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

TtySerialPort::~TtySerialPort() {
    close();
}

SerialPort::OpenResult TtySerialPort::openDevice(const QString& device) {
    if (device.isEmpty())
        return {false, OpenFailure::describeUnmapped(m_number, PortMap::presentDevices())};
    close();
    const QString busy = systemText(EBUSY);
    if (!DeviceLock::lockFileFree(device))
        return {false, OpenFailure::describe(m_number, device, busy)};
    const int descriptor =
        ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return {false, OpenFailure::describe(m_number, device, systemText(errno))};
    if (!m_lock.take(device, descriptor)) {
        ::close(descriptor);
        return {false, OpenFailure::describe(m_number, device, busy)};
    }
    m_descriptor = descriptor;
    return {true, QString()};
}

void TtySerialPort::dropEarlierInput() {
    // What an earlier session wrote and the handheld has not taken yet (its "DISCONNECT", say) is
    // its own and still goes out.
    ::tcflush(m_descriptor, TCIFLUSH);
}

bool TtySerialPort::setLine(QString* why) {
    termios line{};
    if (::tcgetattr(m_descriptor, &line) != 0) {
        *why = systemText(errno);
        return false;
    }
    m_savedLine = line;
    ::cfmakeraw(&line);
    line.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    line.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    if (::cfsetispeed(&line, B38400) != 0 || ::cfsetospeed(&line, B38400) != 0 ||
        ::tcsetattr(m_descriptor, TCSANOW, &line) != 0) {
        *why = systemText(errno);
        return false;
    }
    return true;
}

void TtySerialPort::release() {
    if (m_descriptor < 0)
        return;
    m_reader.stop();
    ::tcsetattr(m_descriptor, TCSANOW, &m_savedLine);
    // The exclusive mode outlives this descriptor while another holds the device open (a
    // simulator keeps its own end): without clearing it, no one but root could open it again.
    ::ioctl(m_descriptor, TIOCNXCL);
    ::close(m_descriptor);
    m_descriptor = -1;
    m_lock.release();
}

bool TtySerialPort::write(const QByteArray& bytes) {
    if (m_descriptor < 0 || checkEnded())
        return false;
    QElapsedTimer waited;
    waited.start();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put =
            ::write(m_descriptor, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (put > 0) {
            done += put;
            continue;
        }
        const int error = errno;
        if (put < 0 && error == EINTR)
            continue;
        const qint64 left = kWriteTimeoutMs - waited.elapsed();
        if (put < 0 && error == EAGAIN && left > 0) {
            pollfd watched{m_descriptor, POLLOUT, 0};
            if (::poll(&watched, 1, int(left)) >= 0 && !(watched.revents & (POLLHUP | POLLERR)))
                continue;
        }
        if (!checkEnded()) {
            portLost(error == EAGAIN ? QStringLiteral("the device took no bytes for %1 seconds")
                                           .arg(kWriteTimeoutMs / 1000)
                                     : PortReader::failureText(error));
        }
        return false;
    }
    return true;
}
