#include "platform/PortReader.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr std::size_t kChunkBytes = 64 * 1024;

} // namespace

QString PortReader::hungUpText() {
    return QStringLiteral("the device hung up: it was unplugged, switched off or closed");
}

QString PortReader::failureText(int error) {
    // A tty whose other side is gone (a pulled adapter, a closed pseudo-terminal) fails so.
    if (error == EIO || error == ENXIO || error == ENODEV)
        return hungUpText();
    return QString::fromLocal8Bit(std::strerror(error));
}

bool PortReader::start(int descriptor) {
    stop();
    m_stopEvent = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_stopEvent < 0)
        return false;
    {
        std::lock_guard lock(m_mutex);
        m_descriptor = descriptor;
        m_stopping = false;
        m_ended = false;
        m_endReason.clear();
        m_wakePosted = false;
    }
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        ::close(m_stopEvent);
        m_stopEvent = -1;
        return false;
    }
    return true;
}

void PortReader::stop() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_gatherEnds.notify_all();
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_stopEvent, &one, sizeof one);
    m_thread.join();
    ::close(m_stopEvent);
    m_stopEvent = -1;
    m_descriptor = -1;
}

void PortReader::run() {
    for (;;) {
        bool gathering = false;
        {
            // A full memory waits for the window thread to take some; the driver holds the rest.
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || m_input.size() < kReadAheadBytes; });
            if (!m_stopping && !m_wakeWanted)
                m_gatherEnds.wait_for(lock, std::chrono::milliseconds(kGatherMs),
                                      [this] { return m_stopping || m_wakeWanted; });
            if (m_stopping)
                return;
            gathering = !m_wakeWanted;
        }
        pollfd watched[] = {{m_descriptor, POLLIN, 0}, {m_stopEvent, POLLIN, 0}};
        if (::poll(watched, 2, gathering ? 0 : -1) < 0) {
            if (errno == EINTR)
                continue;
            end(failureText(errno));
            return;
        }
        if (watched[1].revents != 0)
            return;
        if (watched[0].revents != 0 && !readAvailable(watched[0].revents))
            return;
    }
}

ssize_t PortReader::readLocked() {
    char chunk[kChunkBytes];
    const ssize_t got = ::read(m_descriptor, chunk, sizeof chunk);
    if (got > 0)
        m_input.append(chunk, got);
    return got;
}

void PortReader::readNow() {
    std::lock_guard lock(m_mutex);
    if (m_thread.joinable() && !m_ended && m_input.size() < kReadAheadBytes)
        readLocked();
}

bool PortReader::readAvailable(short events) {
    if (events & POLLNVAL) {
        end(QStringLiteral("the device's descriptor is no longer valid"));
        return false;
    }
    std::unique_lock lock(m_mutex);
    const ssize_t got = readLocked();
    const int error = got < 0 ? errno : 0;
    if (got > 0) {
        if (m_wakeWanted)
            wakeLocked();
        lock.unlock();
        m_changed.notify_all();
        return true;
    }
    lock.unlock();
    // Nothing to read although the poll said so: a frame took it in between (a raw tty then
    // reads as empty), or a signal came. A tty that hung up says so in the poll's events.
    if (!(events & (POLLHUP | POLLERR)) && (got == 0 || error == EAGAIN || error == EINTR))
        return true;
    // Whatever was in the driver has been read: a hung-up tty reads as empty only after it. Its
    // end is no failure of read(), and errno then holds whatever failed before.
    end(got == 0 || (events & POLLHUP) ? hungUpText() : failureText(error));
    return false;
}

void PortReader::end(const QString& why) {
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
        m_endReason = why;
        wakeLocked();
    }
    m_changed.notify_all();
}

void PortReader::wakeLocked() {
    if (m_wakePosted)
        return;
    m_wakePosted = true;
    m_wake();
}

QByteArray PortReader::take(qsizetype maxBytes) {
    QByteArray bytes;
    {
        std::lock_guard lock(m_mutex);
        if (m_input.size() <= maxBytes) {
            bytes.swap(m_input);
        } else {
            bytes = m_input.first(maxBytes);
            m_input.remove(0, maxBytes);
        }
    }
    m_changed.notify_all(); // room again
    return bytes;
}

bool PortReader::hasInput() const {
    std::lock_guard lock(m_mutex);
    return !m_input.isEmpty();
}

bool PortReader::waitForInput(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    // A look without waiting costs no call of the system: a frame looks after every handler.
    if (timeoutMs > 0)
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
            return !m_input.isEmpty() || m_ended || !m_thread.joinable();
        });
    return !m_input.isEmpty();
}

void PortReader::clear() {
    take();
}

bool PortReader::ended() const {
    std::lock_guard lock(m_mutex);
    return m_ended;
}

QString PortReader::endReason() const {
    std::lock_guard lock(m_mutex);
    return m_endReason;
}

void PortReader::setWakeWanted(bool wanted) {
    {
        std::lock_guard lock(m_mutex);
        if (m_wakeWanted == wanted)
            return;
        m_wakeWanted = wanted;
    }
    if (wanted)
        m_gatherEnds.notify_all();
}

void PortReader::requestWake() {
    std::lock_guard lock(m_mutex);
    wakeLocked();
}

void PortReader::wakeArrived() {
    std::lock_guard lock(m_mutex);
    m_wakePosted = false;
}
