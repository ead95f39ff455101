#include "platform/OpenFailure.h"

#include "platform/IniSettingsStore.h"
#include "platform/PortMap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The folders where serial programs put their lock files; /var/lock is usually a link to
// /run/lock.
const QStringList& systemLockDirectories() {
    static const QStringList directories = {QStringLiteral("/run/lock"),
                                            QStringLiteral("/var/lock")};
    return directories;
}

// Where the example rule lands when the tool is installed from its package.
QString udevRuleText() {
    return QStringLiteral("the example udev rule 70-quorvelino-serial.rules that comes with the "
                          "tool (in /usr/share/doc/quorvelino-tool/examples when installed from "
                          "the package)");
}

QString presentText(const QStringList& devices) {
    if (devices.isEmpty())
        return QStringLiteral("No serial device is present: check that the handheld's cable is "
                              "plugged in.");
    return QStringLiteral("Serial devices present: %1.").arg(devices.join(QStringLiteral(", ")));
}

QString withAdvice(const QString& message, const QStringList& runningProcesses) {
    const QString advice = OpenFailure::takeoverAdvice(runningProcesses);
    return advice.isEmpty() ? message : message + QStringLiteral("\n\n") + advice;
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

// The names a lock file for the device may carry: UUCP programs use the device's own name
// ("LCK..ttyUSB0"), Qt the path below /dev with "/" made "_" ("LCK..pts_5",
// "LCK..serial_by-id_usb-..."). A symbolic link is locked under its own name or its target's.
QStringList lockNames(const QString& device) {
    QStringList names;
    const QString target = QFileInfo(device).canonicalFilePath();
    for (const QString& path : {device, target}) {
        if (path.isEmpty())
            continue;
        QString below = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
        below.replace(QLatin1Char('/'), QLatin1Char('_'));
        for (const QString& name : {QFileInfo(path).fileName(), below}) {
            const QString file = QStringLiteral("LCK..") + name;
            if (!names.contains(file))
                names << file;
        }
    }
    return names;
}

// The running process named on the first line of a lock file, or 0. UUCP lock files hold the
// PID alone, padded with blanks; Qt's hold it followed by the program and the host.
qint64 lockOwner(const QString& device, const QStringList& lockDirectories) {
    const QStringList names = lockNames(device);
    for (const QString& dir : lockDirectories) {
        for (const QString& name : names) {
            QFile lock(dir + QLatin1Char('/') + name);
            if (!lock.open(QIODevice::ReadOnly))
                continue;
            bool ok = false;
            const qint64 pid = QString::fromLatin1(lock.readLine(64)).trimmed().toLongLong(&ok);
            if (ok && pid > 0 && pid != getpid() &&
                QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)))
                return pid;
        }
    }
    return 0;
}

bool hasGroup(const std::vector<gid_t>& groups, gid_t group) {
    for (const gid_t each : groups) {
        if (each == group)
            return true;
    }
    return false;
}

std::vector<gid_t> groupsOfThisLogin() {
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? std::size_t(count) : 0);
    if (count > 0 && ::getgroups(count, groups.data()) < 0)
        groups.clear();
    groups.push_back(::getegid());
    return groups;
}

// The user's groups as the group database lists them now, which a usermod since the login
// has already changed.
std::vector<gid_t> groupsOfUser(const QByteArray& user, gid_t primary) {
    int count = 32;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    while (::getgrouplist(user.constData(), primary, groups.data(), &count) < 0) {
        if (count <= int(groups.size()))
            return {};
        groups.resize(std::size_t(count));
    }
    groups.resize(std::size_t(count));
    return groups;
}

void inspectPermission(const QByteArray& path, const struct stat& info,
                       OpenFailure::Situation& situation) {
    if (::access(path.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return;
    situation.permitted = false;
    situation.permissions = info.st_mode & 07777;
    situation.groupMayReadWrite = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (const group* owner = ::getgrgid(info.st_gid))
        situation.ownerGroup = QString::fromLocal8Bit(owner->gr_name);
    else
        situation.ownerGroup = QString::number(info.st_gid);
    situation.inGroupNow = hasGroup(groupsOfThisLogin(), info.st_gid);
    if (const passwd* me = ::getpwuid(::geteuid())) {
        const QByteArray name(me->pw_name);
        const gid_t primary = me->pw_gid;
        situation.userName = QString::fromLocal8Bit(name);
        situation.inGroupDatabase = hasGroup(groupsOfUser(name, primary), info.st_gid);
    }
}

QString deniedText(int number, const QString& device, const OpenFailure::Situation& s) {
    if (!s.groupMayReadWrite) {
        return QStringLiteral("You may not open %1 (COM%2), and joining a group would not help: "
                              "its permissions (%3) let no group read and write it. A udev rule "
                              "that gives the device to the person at the desktop fixes this; "
                              "see %4.")
            .arg(device)
            .arg(number)
            .arg(QStringLiteral("%1").arg(s.permissions, 4, 8, QLatin1Char('0')))
            .arg(udevRuleText());
    }
    const QString user = s.userName.isEmpty() ? QStringLiteral("$USER") : s.userName;
    if (s.inGroupDatabase) {
        return QStringLiteral("You may not open %1 (COM%2) yet. Your user %3 was added to the "
                              "group \"%4\" that owns the device after this login began: log "
                              "out and log in again (or restart the computer) for the new group "
                              "to count, then connect again.")
            .arg(device)
            .arg(number)
            .arg(user, s.ownerGroup);
    }
    return QStringLiteral("You may not open %1 (COM%2): the device belongs to the group \"%3\" "
                          "and your user %4 is not a member. Add it once with\n\n"
                          "    sudo usermod -aG %3 %4\n\n"
                          "then log out and log in again: the new group counts only from the "
                          "next login.")
        .arg(device)
        .arg(number)
        .arg(s.ownerGroup, user);
}

} // namespace

namespace OpenFailure {

QString describeUnmapped(int number, const QStringList& presentDevices) {
    return describeUnmapped(number, presentDevices, runningProcessNames());
}

QString describeUnmapped(int number, const QStringList& presentDevices,
                         const QStringList& runningProcesses) {
    if (number < 1)
        return QStringLiteral("No port is chosen. Choose the handheld's port in the list first.");
    return withAdvice(QStringLiteral("No serial device stands for COM%1. %2 A device can be "
                                     "given to COM%1 by hand in the settings file %3, section "
                                     "[Ports], key COM%1.")
                          .arg(number)
                          .arg(presentText(presentDevices), IniSettingsStore::defaultFilePath()),
                      runningProcesses);
}

QString describe(int number, const QString& device, const QString& reason) {
    return explain(number, device, reason, inspect(device));
}

Situation inspect(const QString& device) {
    Situation situation;
    situation.runningProcesses = runningProcessNames();
    const QByteArray path = QFile::encodeName(device);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        situation.exists = false;
        situation.presentDevices = PortMap::presentDevices();
        return situation;
    }
    situation.isCharacterDevice = S_ISCHR(info.st_mode);
    inspectPermission(path, info, situation);
    if (situation.permitted)
        situation.holders = holders(device);
    return situation;
}

QString explain(int number, const QString& device, const QString& reason,
                const Situation& situation) {
    if (!situation.exists) {
        return withAdvice(QStringLiteral("The device %1 for COM%2 does not exist: the handheld is "
                                         "unplugged, or its adapter now has another name. %3")
                              .arg(device)
                              .arg(number)
                              .arg(presentText(situation.presentDevices)),
                          situation.runningProcesses);
    }
    // A user who is in the group already and is still refused meets something else (an ACL,
    // a security module): the library's own words say more than a group hint would.
    if (!situation.permitted && !(situation.inGroupNow && situation.groupMayReadWrite))
        return deniedText(number, device, situation);
    if (!situation.isCharacterDevice) {
        return QStringLiteral("%1 (COM%2) is not a serial device. Check the entry COM%2 in "
                              "section [Ports] of the settings file %3.")
            .arg(device)
            .arg(number)
            .arg(IniSettingsStore::defaultFilePath());
    }
    if (!situation.holders.isEmpty()) {
        return withAdvice(QStringLiteral("%1 (COM%2) is in use by another program: %3. Close "
                                         "that program, then connect again.")
                              .arg(device)
                              .arg(number)
                              .arg(situation.holders.join(QStringLiteral(", "))),
                          situation.runningProcesses);
    }
    return withAdvice(
        QStringLiteral("%1 (COM%2) could not be opened: %3").arg(device).arg(number).arg(reason),
        situation.runningProcesses);
}

QStringList holders(const QString& device) {
    return holders(device, systemLockDirectories());
}

qint64 lockingProcess(const QString& device) {
    return lockOwner(device, systemLockDirectories());
}

QStringList holders(const QString& device, const QStringList& lockDirectories) {
    QStringList found;
    if (const qint64 pid = lockOwner(device, lockDirectories))
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
        // Only the processes whose descriptors we may read: our own, or all of them as root.
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

QStringList runningProcessNames() {
    QStringList names;
    const QStringList entries =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QString name = processName(pid);
        if (!name.isEmpty() && !names.contains(name))
            names << name;
    }
    return names;
}

QString takeoverAdvice(const QStringList& runningProcesses) {
    QStringList advice;
    const bool brltty =
        std::any_of(runningProcesses.begin(), runningProcesses.end(),
                    [](const QString& name) { return name.startsWith(QLatin1String("brltty")); });
    if (brltty) {
        advice << QStringLiteral(
            "The braille display service brltty is running. It takes USB serial adapters whose "
            "chips braille displays also use (CH340, CP210x and others) a few seconds after they "
            "are plugged in, and their device vanishes. If no braille display is used on this "
            "computer, remove it with \"sudo apt remove brltty\" and plug the handheld in again.");
    }
    if (runningProcesses.contains(QLatin1String("ModemManager"))) {
        advice << QStringLiteral("ModemManager is running. It opens every new serial device for "
                                 "a few seconds to look for a modem, so right after the handheld "
                                 "is plugged in its port can be busy or vanish for a moment. Wait "
                                 "a little and connect again; to keep ModemManager away from the "
                                 "adapter for good, install %1.")
                      .arg(udevRuleText());
    }
    return advice.join(QStringLiteral("\n\n"));
}

} // namespace OpenFailure
