#include "platform/WinPortReader.h"

#include <chrono>
#include <system_error>
#include <windows.h>

namespace {

constexpr DWORD kChunkBytes = 64 * 1024;

} // namespace

QString WinPortReader::failureText(unsigned long error) {
    switch (error) {
    // What the drivers of USB serial adapters answer once the device is gone; Wine answers
    // ERROR_NOT_READY for a pseudo-terminal whose other side closed.
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_INVALID_HANDLE:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_BROKEN_PIPE:
        return QStringLiteral("the device hung up: it was unplugged, switched off or closed");
    default:
        break;
    }
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString said = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed() : QString();
    ::LocalFree(text);
    if (said.isEmpty())
        said = QStringLiteral("the system reported error %1").arg(error);
    return said;
}

bool WinPortReader::start(void* port) {
    stop();
    {
        std::lock_guard lock(m_mutex);
        m_port = port;
        m_stopping = false;
        m_ended = false;
        m_endReason.clear();
        m_wakePosted = false;
    }
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void WinPortReader::stop() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    // The read in progress returns within kReadTimeoutMs.
    m_thread.join();
    m_port = nullptr;
}

void WinPortReader::run() {
    for (;;) {
        {
            // A full memory waits for the window thread to take some; the driver holds the rest.
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopping || m_input.size() < kReadAheadBytes; });
            if (m_stopping)
                return;
        }
        char chunk[kChunkBytes];
        DWORD got = 0;
        if (!::ReadFile(m_port, chunk, sizeof chunk, &got, nullptr)) {
            end(failureText(::GetLastError()));
            return;
        }
        if (got == 0) {
            // The time-out passed without a byte: a driver whose device was pulled may go on
            // answering reads with nothing, but it fails a question about the line's state.
            DWORD errors = 0;
            if (!::ClearCommError(m_port, &errors, nullptr)) {
                end(failureText(::GetLastError()));
                return;
            }
            continue;
        }
        {
            std::lock_guard lock(m_mutex);
            m_input.append(chunk, qsizetype(got));
            if (m_wakeWanted)
                wakeLocked();
        }
        m_changed.notify_all();
    }
}

void WinPortReader::end(const QString& why) {
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
        m_endReason = why;
        wakeLocked();
    }
    m_changed.notify_all();
}

void WinPortReader::wakeLocked() {
    if (m_wakePosted)
        return;
    m_wakePosted = true;
    m_wake();
}

QByteArray WinPortReader::take(qsizetype maxBytes) {
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

bool WinPortReader::hasInput() const {
    std::lock_guard lock(m_mutex);
    return !m_input.isEmpty();
}

bool WinPortReader::waitForInput(int timeoutMs) {
    std::unique_lock lock(m_mutex);
    if (timeoutMs > 0)
        m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
            return !m_input.isEmpty() || m_ended || !m_thread.joinable();
        });
    return !m_input.isEmpty();
}

bool WinPortReader::ended() const {
    std::lock_guard lock(m_mutex);
    return m_ended;
}

QString WinPortReader::endReason() const {
    std::lock_guard lock(m_mutex);
    return m_endReason;
}

void WinPortReader::setWakeWanted(bool wanted) {
    std::lock_guard lock(m_mutex);
    m_wakeWanted = wanted;
}

void WinPortReader::requestWake() {
    std::lock_guard lock(m_mutex);
    wakeLocked();
}

void WinPortReader::wakeArrived() {
    std::lock_guard lock(m_mutex);
    m_wakePosted = false;
}
