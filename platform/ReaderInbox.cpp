#include "platform/ReaderInbox.h"

#include <chrono>
#include <system_error>

namespace {

constexpr qsizetype kChunkBytes = 64 * 1024;

} // namespace

QString ReaderInbox::hungUpText() {
    return QStringLiteral("the device hung up: it was unplugged, switched off or closed");
}

bool ReaderInbox::startReader(std::function<void()> run) {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = false;
        m_ended = false;
        m_endReason.clear();
        m_wakePosted = false;
    }
    try {
        m_thread = std::thread(std::move(run));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ReaderInbox::stopReader(const std::function<void()>& interrupt) {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_gatherEnds.notify_all();
    interrupt();
    m_thread.join();
}

QByteArray ReaderInbox::take(qsizetype maxBytes) {
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

bool ReaderInbox::hasInput() const {
    std::lock_guard lock(m_mutex);
    return !m_input.isEmpty();
}

bool ReaderInbox::waitForInput(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    // A look without waiting costs no call of the system: a frame looks after every handler.
    if (timeoutMs > 0)
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
            return !m_input.isEmpty() || m_ended || !m_thread.joinable();
        });
    return !m_input.isEmpty();
}

bool ReaderInbox::ended() const {
    std::lock_guard lock(m_mutex);
    return m_ended;
}

QString ReaderInbox::endReason() const {
    std::lock_guard lock(m_mutex);
    return m_endReason;
}

void ReaderInbox::setWakeWanted(bool wanted) {
    {
        std::lock_guard lock(m_mutex);
        if (m_wakeWanted == wanted)
            return;
        m_wakeWanted = wanted;
    }
    if (wanted)
        m_gatherEnds.notify_all();
}

void ReaderInbox::requestWake() {
    std::lock_guard lock(m_mutex);
    wakeLocked();
}

void ReaderInbox::wakeArrived() {
    std::lock_guard lock(m_mutex);
    m_wakePosted = false;
}

ReaderInbox::Turn ReaderInbox::nextTurn(int gatherMs) {
    // A full memory waits for the window thread to take some; the driver holds the rest.
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stopping || m_input.size() < kReadAheadBytes; });
    if (!m_stopping && !m_wakeWanted && gatherMs > 0)
        m_gatherEnds.wait_for(lock, std::chrono::milliseconds(gatherMs),
                              [this] { return m_stopping || m_wakeWanted; });
    if (m_stopping)
        return Turn::Stop;
    return m_wakeWanted ? Turn::Wait : Turn::Look;
}

void ReaderInbox::keep(const char* bytes, qsizetype size) {
    {
        std::lock_guard lock(m_mutex);
        keepLocked(bytes, size);
    }
    m_changed.notify_all();
}

qint64 ReaderInbox::keepRead(const std::function<qint64(char* into, qsizetype room)>& read) {
    char chunk[kChunkBytes];
    qint64 got = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_ended || m_input.size() >= kReadAheadBytes)
            return 0;
        got = read(chunk, kChunkBytes);
        if (got <= 0)
            return got;
        keepLocked(chunk, qsizetype(got));
    }
    m_changed.notify_all();
    return got;
}

void ReaderInbox::keepLocked(const char* bytes, qsizetype size) {
    m_input.append(bytes, size);
    if (m_wakeWanted)
        wakeLocked();
}

void ReaderInbox::end(const QString& why) {
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
        m_endReason = why;
        wakeLocked();
    }
    m_changed.notify_all();
}

void ReaderInbox::wakeLocked() {
    if (m_wakePosted)
        return;
    m_wakePosted = true;
    m_wake();
}
