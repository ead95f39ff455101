#include "cli/DownloadTarget.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Writes every byte of `from` to `to`; 0, or the errno of the failure.
int copyAll(int from, int to) {
    char buffer[64 * 1024];
    while (true) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got < 0 ? errno : 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, std::size_t(got - done));
            if (put < 0 && errno != EINTR)
                return errno;
            done += put > 0 ? put : 0;
        }
    }
}

} // namespace

DownloadTarget::Creation DownloadTarget::createNew(const QString& name, QString* systemSaid) {
    const int fd = ::open(encoded(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno == EEXIST)
        return Creation::Taken;
    if (fd < 0) {
        *systemSaid = reason(errno);
        return Creation::Failed;
    }
    struct stat created {};
    if (::fstat(fd, &created) == 0)
        m_newMode = created.st_mode & 07777;
    // Records may be private: until they are complete, only the owner may read them.
    ::fchmod(fd, S_IRUSR | S_IWUSR);
    ::close(fd);
    return Creation::Created;
}

mode_t DownloadTarget::finalMode() const {
    struct stat old {};
    if (!toStream() && ::stat(encoded(m_destination).constData(), &old) == 0 &&
        S_ISREG(old.st_mode))
        return old.st_mode & 07777;
    return m_newMode;
}

bool DownloadTarget::keepOwner(int fd) const {
    struct stat old {};
    if (::stat(encoded(m_destination).constData(), &old) != 0 || !S_ISREG(old.st_mode))
        return false;
    // Root may give the file back to its owner; anybody may give it a group they belong to.
    return ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, uid_t(-1), old.st_gid) == 0;
}

DownloadTarget::Result DownloadTarget::replace() {
    const QByteArray working = encoded(m_working);
    const int fd = ::open(working.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(QStringLiteral("they could not be flushed to disk"), reason(errno));
    // Where the owner cannot be kept, the records belong to who downloaded them, as a new file.
    keepOwner(fd);
    const bool flushed = ::fchmod(fd, finalMode()) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!flushed)
        return failure(QStringLiteral("they could not be flushed to disk"), reason(error));
    if (::rename(working.constData(), encoded(m_destination).constData()) != 0)
        return failure(QStringLiteral("%1 could not be replaced").arg(m_destination),
                       reason(errno));
    // The rename itself lasts only once the folder that holds it is on disk.
    const int folder = ::open(encoded(QFileInfo(m_destination).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool folderFlushed = folder >= 0 && ::fsync(folder) == 0;
    const int folderError = errno;
    if (folder >= 0)
        ::close(folder);
    if (folderFlushed)
        return {};
    return {true, QStringLiteral("The records were saved in %1, but its folder could not be "
                                 "flushed to disk (%2): a crash may yet lose them.")
                      .arg(m_destination, reason(folderError))};
}

DownloadTarget::Result DownloadTarget::pour() {
    const bool toStdout = m_target == QLatin1String("-");
    const int out =
        toStdout ? STDOUT_FILENO : ::open(encoded(m_target).constData(), O_WRONLY | O_CLOEXEC);
    const int in = ::open(encoded(m_working).constData(), O_RDONLY | O_CLOEXEC);
    int error = out < 0 || in < 0 ? errno : copyAll(in, out);
    if (in >= 0)
        ::close(in);
    if (out >= 0 && !toStdout && ::close(out) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return failure(QStringLiteral("they could not be written to %1").arg(targetName()),
                       reason(error));
    ::unlink(encoded(m_working).constData());
    return {};
}

void DownloadTarget::keep() {
    const QByteArray working = encoded(m_working);
    struct stat kept {};
    if (::stat(working.constData(), &kept) == 0 && kept.st_size > 0) {
        // Beside the target, what arrived has the mode the target would have had.
        if (!toStream())
            ::chmod(working.constData(), finalMode());
        return;
    }
    ::unlink(working.constData());
}
