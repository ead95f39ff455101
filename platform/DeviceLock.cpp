#include "platform/DeviceLock.h"

#include "platform/OpenFailure.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// The first lock folder this process may write; /var/lock is usually a link to /run/lock.
QString lockDirectory() {
    for (const char* dir : {"/run/lock", "/var/lock"}) {
        const QFileInfo info(QString::fromLatin1(dir));
        if (info.isDir() && info.isWritable())
            return info.filePath();
    }
    return QString();
}

bool writeLockFile(const QByteArray& path) {
    const int file = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (file < 0)
        return false;
    const QByteArray content = QByteArray::number(::getpid()) + '\n' +
                               QCoreApplication::applicationName().toLocal8Bit() + '\n' +
                               QSysInfo::machineHostName().toLocal8Bit() + '\n';
    const bool written =
        ::write(file, content.constData(), std::size_t(content.size())) == content.size();
    ::close(file);
    if (!written)
        ::unlink(path.constData());
    return written;
}

} // namespace

bool DeviceLock::lockFileFree(const QString& device) {
    return OpenFailure::lockingProcess(device) == 0;
}

bool DeviceLock::take(const QString& device, int descriptor) {
    release();
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0)
        return false;
    ::ioctl(descriptor, TIOCEXCL);

    const QString dir = lockDirectory();
    QString target = QFileInfo(device).canonicalFilePath();
    if (dir.isEmpty() || target.isEmpty())
        return true;
    if (target.startsWith(QLatin1String("/dev/")))
        target = target.mid(5);
    const QString path = dir + QStringLiteral("/LCK..") + target.replace(QLatin1Char('/'), u'_');
    const QByteArray local = path.toLocal8Bit();
    // No running program holds it (lockFileFree): what is there was left by one that ended.
    bool written = writeLockFile(local);
    if (!written && ::unlink(local.constData()) == 0)
        written = writeLockFile(local);
    if (written)
        m_lockFile = path;
    return true;
}

void DeviceLock::release() {
    if (!m_lockFile.isEmpty())
        ::unlink(m_lockFile.toLocal8Bit().constData());
    m_lockFile.clear();
}
