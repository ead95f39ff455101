#include "cli/DownloadTarget.h"
#include "platform/WinSystemError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <windows.h>

// The system's side of DownloadTarget on Windows: the working file is made with CreateFile()
// (CREATE_NEW, so a name that exists is never taken over), flushed with FlushFileBuffers() and
// put in the target's place with MoveFileEx(), which replaces it whole and returns only once the
// move is on disk.

namespace {

std::wstring native(const QString& path) {
    return QDir::toNativeSeparators(path).toStdWString();
}

} // namespace

DownloadTarget::Creation DownloadTarget::createNew(const QString& name, QString* systemSaid) {
    const HANDLE file = ::CreateFileW(native(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return Creation::Taken;
        *systemSaid = WinSystemError::text(error);
        return Creation::Failed;
    }
    ::CloseHandle(file);
    return Creation::Created;
}

DownloadTarget::Result DownloadTarget::replace() {
    const HANDLE file = ::CreateFileW(native(m_working).c_str(), GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failure(QStringLiteral("they could not be flushed to disk"),
                       WinSystemError::text(::GetLastError()));
    const bool flushed = ::FlushFileBuffers(file);
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    if (!flushed)
        return failure(QStringLiteral("they could not be flushed to disk"),
                       WinSystemError::text(error));
    if (!::MoveFileExW(native(m_working).c_str(), native(m_destination).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failure(QStringLiteral("%1 could not be replaced").arg(m_destination),
                       WinSystemError::text(::GetLastError()));
    return {};
}

DownloadTarget::Result DownloadTarget::pour() {
    QFile in(m_working);
    QFile out(m_target);
    // Standard output is binary (see main()): the records' CR LF pass unchanged.
    const bool opened =
        in.open(QIODevice::ReadOnly) &&
        (m_target == QLatin1String("-") ? out.open(stdout, QIODevice::WriteOnly)
                                        : out.open(QIODevice::WriteOnly | QIODevice::Append));
    const bool written = opened && out.write(in.readAll()) == in.size() && out.flush();
    if (!written) {
        const QString why = in.error() != QFile::NoError ? in.errorString() : out.errorString();
        return failure(QStringLiteral("they could not be written to %1").arg(targetName()), why);
    }
    in.close();
    QFile::remove(m_working);
    return {};
}

void DownloadTarget::keep() {
    if (QFileInfo(m_working).size() == 0)
        QFile::remove(m_working);
}
