#include "platform/WinPortReader.h"

#include "platform/WinSystemError.h"

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
        return ReaderInbox::hungUpText();
    default:
        break;
    }
    return WinSystemError::text(error);
}

bool WinPortReader::start(void* port) {
    stop();
    m_port = port;
    return m_inbox.startReader([this] { run(); });
}

void WinPortReader::stop() {
    // The read in progress returns within kReadTimeoutMs.
    m_inbox.stopReader([] {});
    m_port = nullptr;
}

void WinPortReader::run() {
    // The time-out makes every read a look: this reader never gathers.
    while (m_inbox.nextTurn(0) != ReaderInbox::Turn::Stop) {
        char chunk[kChunkBytes];
        DWORD got = 0;
        if (!::ReadFile(m_port, chunk, sizeof chunk, &got, nullptr)) {
            m_inbox.end(failureText(::GetLastError()));
            return;
        }
        if (got > 0) {
            m_inbox.keep(chunk, qsizetype(got));
            continue;
        }
        // The time-out passed without a byte: a driver whose device was pulled may go on
        // answering reads with nothing, but it fails a question about the line's state.
        DWORD errors = 0;
        if (!::ClearCommError(m_port, &errors, nullptr)) {
            m_inbox.end(failureText(::GetLastError()));
            return;
        }
    }
}
