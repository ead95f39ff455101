#include "cli/DownloadTarget.h"

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

QString systemText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString said = length > 0 ? QString::fromWCharArray(text, int(length)).trimmed() : QString();
    ::LocalFree(text);
    return said.isEmpty() ? QStringLiteral("error %1").arg(error) : said;
}

} // namespace

bool DownloadTarget::create(const QString& base, QString* why) {
    for (int n = 1; n <= kNames; ++n) {
        const QString name =
            base + QStringLiteral(".partial") + (n > 1 ? QStringLiteral("-%1").arg(n) : QString());
        const HANDLE file = ::CreateFileW(native(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            *why = QStringLiteral("%1 cannot be created (%2)").arg(name, systemText(error));
            return false;
        }
        ::CloseHandle(file);
        m_working = name;
        return true;
    }
    *why = QStringLiteral("%1.partial and %1.partial-2 to -%2 exist already").arg(base).arg(kNames);
    return false;
}

DownloadTarget::Result DownloadTarget::replace() {
    const HANDLE file = ::CreateFileW(native(m_working).c_str(), GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return failure(QStringLiteral("they could not be flushed to disk"),
                       systemText(::GetLastError()));
    const bool flushed = ::FlushFileBuffers(file);
    const DWORD error = ::GetLastError();
    ::CloseHandle(file);
    if (!flushed)
        return failure(QStringLiteral("they could not be flushed to disk"), systemText(error));
    if (!::MoveFileExW(native(m_working).c_str(), native(m_destination).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failure(QStringLiteral("%1 could not be replaced").arg(m_destination),
                       systemText(::GetLastError()));
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
