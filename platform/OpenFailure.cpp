#include "platform/OpenFailure.h"

#include "platform/PortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString presentText(const QStringList& devices) {
    if (devices.isEmpty())
        return QStringLiteral("No serial device is present: check that the handheld's cable is "
                              "plugged in.");
    return QStringLiteral("Serial devices present: %1.").arg(devices.join(QStringLiteral(", ")));
}

QString processName(qint64 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString describeProcess(qint64 pid) {
    const QString name = processName(pid);
    if (name.isEmpty())
        return QStringLiteral("process %1").arg(pid);
    return QStringLiteral("%1 (process %2)").arg(name).arg(pid);
}

// The process named in a UUCP-style lock file (LCK..ttyUSB0), if it is still running.
qint64 lockOwner(const QString& device) {
    const QString base = QFileInfo(device).fileName();
    for (const QString& dir : {QStringLiteral("/run/lock"), QStringLiteral("/var/lock")}) {
        QFile lock(dir + QStringLiteral("/LCK..") + base);
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const qint64 pid = QString::fromLatin1(lock.read(64)).trimmed().toLongLong(&ok);
        if (ok && pid > 0 && pid != getpid() &&
            QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)))
            return pid;
    }
    return 0;
}

} // namespace

namespace OpenFailure {

QString describeUnmapped(int number, const QStringList& presentDevices) {
    if (number < 1)
        return QStringLiteral("No port is chosen. Choose the handheld's port in the list first.");
    return QStringLiteral("No serial device stands for COM%1. %2 A device can be given to COM%1 by "
                          "hand in the settings file, section [Ports], key COM%1.")
        .arg(number)
        .arg(presentText(presentDevices));
}

QStringList holders(const QString& device) {
    QStringList found;
    if (const qint64 pid = lockOwner(device))
        found << describeProcess(pid);
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return found;
    const QStringList pids =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : pids) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok || pid == getpid())
            continue;
        const QString fdDir = QStringLiteral("/proc/%1/fd").arg(pid);
        const QStringList fds = QDir(fdDir).entryList(QDir::System | QDir::NoDotAndDotDot);
        for (const QString& fd : fds) {
            if (QFileInfo(fdDir + QLatin1Char('/') + fd).symLinkTarget() == target) {
                const QString who = describeProcess(pid);
                if (!found.contains(who))
                    found << who;
                break;
            }
        }
    }
    return found;
}

QString describe(int number, const QString& device, const QString& qtReason) {
    const QByteArray path = QFile::encodeName(device);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        return QStringLiteral("The device %1 for COM%2 does not exist. %3")
            .arg(device)
            .arg(number)
            .arg(presentText(PortMap::presentDevices()));
    }
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        const group* owner = ::getgrgid(info.st_gid);
        const QString groupName =
            owner ? QString::fromLocal8Bit(owner->gr_name) : QStringLiteral("dialout");
        return QStringLiteral(
                   "You may not open %1 (COM%2). Your user must belong to the group "
                   "\"%3\" that owns the device: run \"sudo usermod -aG %3 $USER\", then "
                   "log out and log in again for the new group to count.")
            .arg(device)
            .arg(number)
            .arg(groupName);
    }
    const QStringList users = holders(device);
    if (!users.isEmpty()) {
        return QStringLiteral("%1 (COM%2) is in use by another program: %3. Close that program, "
                              "then connect again.")
            .arg(device)
            .arg(number)
            .arg(users.join(QStringLiteral(", ")));
    }
    return QStringLiteral("%1 (COM%2) could not be opened: %3")
        .arg(device)
        .arg(number)
        .arg(qtReason);
}

} // namespace OpenFailure
