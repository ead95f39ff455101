#include "platform/PortReader.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

QString PortReader::failureText(int error) {
    // A tty whose other side is gone (a pulled adapter, a closed pseudo-terminal) fails so.
    if (error == EIO || error == ENXIO || error == ENODEV)
        return ReaderInbox::hungUpText();
    return QString::fromLocal8Bit(std::strerror(error));
}

bool PortReader::start(int descriptor) {
    stop();
    m_stopEvent = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopEvent < 0)
        return false;
    m_descriptor = descriptor;
    if (m_inbox.startReader([this] { run(); }))
        return true;
    ::close(m_stopEvent);
    m_stopEvent = -1;
    return false;
}

void PortReader::stop() {
    if (!m_inbox.readerRunning())
        return;
    m_inbox.stopReader([this] {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_stopEvent, &one, sizeof one);
    });
    ::close(m_stopEvent);
    m_stopEvent = -1;
    m_descriptor = -1;
}

void PortReader::run() {
    for (;;) {
        const ReaderInbox::Turn turn = m_inbox.nextTurn(kGatherMs);
        if (turn == ReaderInbox::Turn::Stop)
            return;
        pollfd watched[] = {{m_descriptor, POLLIN, 0}, {m_stopEvent, POLLIN, 0}};
        if (::poll(watched, 2, turn == ReaderInbox::Turn::Look ? 0 : -1) < 0) {
            if (errno == EINTR)
                continue;
            m_inbox.end(failureText(errno));
            return;
        }
        if (watched[1].revents != 0)
            return;
        if (watched[0].revents != 0 && !readAvailable(watched[0].revents))
            return;
    }
}

void PortReader::readNow() {
    if (m_inbox.readerRunning())
        m_inbox.keepRead([this](char* into, qsizetype room) {
            return qint64(::read(m_descriptor, into, std::size_t(room)));
        });
}

bool PortReader::readAvailable(short events) {
    if (events & POLLNVAL) {
        m_inbox.end(QStringLiteral("the device's descriptor is no longer valid"));
        return false;
    }
    int error = 0;
    const qint64 got = m_inbox.keepRead([this, &error](char* into, qsizetype room) {
        const ssize_t read = ::read(m_descriptor, into, std::size_t(room));
        error = read < 0 ? errno : 0;
        return qint64(read);
    });
    if (got > 0)
        return true;
    // Nothing to read although the poll said so: a frame took it in between (a raw tty then
    // reads as empty), or a signal came. A tty that hung up says so in the poll's events.
    if (!(events & (POLLHUP | POLLERR)) && (got == 0 || error == EAGAIN || error == EINTR))
        return true;
    // Whatever was in the driver has been read: a hung-up tty reads as empty only after it. Its
    // end is no failure of read(), and errno then holds whatever failed before.
    m_inbox.end(got == 0 || (events & POLLHUP) ? ReaderInbox::hungUpText() : failureText(error));
    return false;
}
