#include "cli/UploadSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

#ifdef Q_OS_WIN
// Windows opens files as text unless told otherwise; the selections' bytes are taken as they are.
constexpr int kReadFlags = O_RDONLY | O_BINARY;
#else
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC;
#endif

} // namespace

bool UploadSource::prepare(QString* why) {
    if (m_source == QLatin1String("-"))
        return copy(STDIN_FILENO, QStringLiteral("standard input"), why);
    const QFileInfo file(m_source);
    if (!file.exists()) {
        *why = QStringLiteral("%1 does not exist").arg(m_source);
    } else if (file.isDir()) {
        *why = QStringLiteral("%1 is a folder").arg(m_source);
    } else if (!file.isReadable()) {
        *why = QStringLiteral("%1 may not be read").arg(m_source);
    } else if (file.isFile()) {
        return true;
    } else {
        const int fd = ::open(QFile::encodeName(m_source).constData(), kReadFlags);
        if (fd >= 0) {
            const bool copied = copy(fd, m_source, why);
            ::close(fd);
            return copied;
        }
        *why = QStringLiteral("%1 cannot be read (%2)")
                   .arg(m_source, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return false;
}

bool UploadSource::copy(int from, const QString& name, QString* why) {
    m_copy.setFileTemplate(
        QDir(QDir::tempPath()).filePath(QStringLiteral("quorvelino-selections-XXXXXX.csv")));
    if (!m_copy.open()) {
        *why = QStringLiteral("no temporary file for %1 can be made (%2)")
                   .arg(name, m_copy.errorString());
        return false;
    }
    char buffer[64 * 1024];
    qint64 total = 0;
    while (true) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *why = QStringLiteral("%1 cannot be read (%2)")
                       .arg(name, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (got == 0)
            break;
        if (m_copy.write(buffer, got) != got) {
            *why = QStringLiteral("%1 cannot be copied to %2 (%3)")
                       .arg(name, m_copy.fileName(), m_copy.errorString());
            return false;
        }
        total += got;
    }
    m_copy.close();
    if (total == 0) {
        *why = QStringLiteral("%1 is empty").arg(name);
        return false;
    }
    m_copied = true;
    return true;
}
