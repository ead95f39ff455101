#include "platform/WinSerialPort.h"

#include "platform/ComOpenFailure.h"

#include <cstring>
#include <windows.h>

namespace {

// How long a write may wait for the driver to take its bytes.
constexpr DWORD kWriteTimeoutMs = 2000;

HANDLE handleOf(void* handle) {
    return static_cast<HANDLE>(handle);
}

} // namespace

WinSerialPort::~WinSerialPort() {
    close();
}

QString WinSerialPort::systemPath(const QString& device) {
    return device.startsWith(QLatin1String("\\\\.\\")) ? device
                                                       : QStringLiteral("\\\\.\\") + device;
}

SerialPort::OpenResult WinSerialPort::openDevice(const QString& device) {
    close();
    const std::wstring path = systemPath(device).toStdWString();
    // No sharing: Windows refuses a port that another program holds.
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return {false, ComOpenFailure::describe(m_number, device, ComOpenFailure::causeOf(error),
                                                WinPortReader::failureText(error),
                                                PortMap::presentDevices())};
    }
    m_handle = handle;
    return {true, QString()};
}

void WinSerialPort::dropEarlierInput() {
    ::PurgeComm(handleOf(m_handle), PURGE_RXCLEAR | PURGE_TXCLEAR);
}

bool WinSerialPort::startReader() {
    return m_reader.start(m_handle);
}

bool WinSerialPort::setLine(QString* why) {
    DCB line{};
    line.DCBlength = sizeof line;
    if (!::GetCommState(handleOf(m_handle), &line)) {
        *why = WinPortReader::failureText(::GetLastError());
        return false;
    }
    m_savedLine = QByteArray(reinterpret_cast<const char*>(&line), sizeof line);
    line.BaudRate = CBR_38400;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE; // NUL bytes are the handheld's, too
    line.fAbortOnError = FALSE;
    // DTR and RTS keep their state; only a handshake on them, which is flow control, ends.
    if (line.fDtrControl == DTR_CONTROL_HANDSHAKE)
        line.fDtrControl = DTR_CONTROL_ENABLE;
    if (line.fRtsControl == RTS_CONTROL_HANDSHAKE || line.fRtsControl == RTS_CONTROL_TOGGLE)
        line.fRtsControl = RTS_CONTROL_ENABLE;
    // A read returns as soon as a byte is there, or empty after the reader's time-out.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = WinPortReader::kReadTimeoutMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    if (!::SetCommState(handleOf(m_handle), &line) ||
        !::SetCommTimeouts(handleOf(m_handle), &timeouts)) {
        *why = WinPortReader::failureText(::GetLastError());
        return false;
    }
    return true;
}

void WinSerialPort::release() {
    if (!m_handle)
        return;
    m_reader.stop();
    if (m_savedLine.size() == sizeof(DCB)) {
        DCB saved{};
        std::memcpy(&saved, m_savedLine.constData(), sizeof saved);
        ::SetCommState(handleOf(m_handle), &saved);
    }
    ::CloseHandle(handleOf(m_handle));
    m_handle = nullptr;
}

bool WinSerialPort::write(const QByteArray& bytes) {
    if (!m_handle || checkEnded())
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        if (!::WriteFile(handleOf(m_handle), bytes.constData() + done, DWORD(bytes.size() - done),
                         &put, nullptr)) {
            const DWORD error = ::GetLastError();
            if (!checkEnded())
                portLost(WinPortReader::failureText(error));
            return false;
        }
        if (put == 0) {
            // The write's time-out passed with nothing taken.
            if (!checkEnded())
                portLost(QStringLiteral("the device took no bytes for %1 seconds")
                             .arg(kWriteTimeoutMs / 1000));
            return false;
        }
        done += put;
    }
    return true;
}
