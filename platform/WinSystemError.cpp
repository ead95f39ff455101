#include "platform/WinSystemError.h"

#include <windows.h>

QString WinSystemError::text(unsigned long error) {
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
