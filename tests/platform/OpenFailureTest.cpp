// Why a serial device could not be opened, on situations built on this machine.

#include "platform/OpenFailure.h"

#include "platform/PortMap.h"
#include "platform/TtySerialPort.h"
#include "sim/PtyPair.h"
#include "tests/platform/ChildProcess.h"
#include "tests/support/MemorySettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr uid_t kNobody = 65534;

// A pseudo-terminal of which only the master is held here: its slave device exists while the
// master stays open, and no descriptor of this process keeps it busy.
constexpr PtyPair::Options kMasterOnly{.nonBlockingMaster = false, .holdSlave = false};

QString ownProcessName() {
    QFile comm(u"/proc/self/comm"_s);
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed()
                                          : QString();
}

QString holderText(pid_t pid) {
    return u"%1 (process %2)"_s.arg(ownProcessName()).arg(pid);
}

// Runs what() as the user nobody in a forked child when the test runs as root, so that
// permissions apply; as any other user it runs in place.
QString asUnprivilegedUser(const std::function<QString()>& what) {
    if (::geteuid() != 0)
        return what();
    int result[2];
    if (::pipe(result) != 0)
        return u"(no pipe)"_s;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(result[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(1);
        const QByteArray text = what().toUtf8();
        [[maybe_unused]] const ssize_t written = ::write(result[1], text.constData(), text.size());
        ::_exit(0);
    }
    ::close(result[1]);
    QByteArray text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(result[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, got);
    ::close(result[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(text);
}

// A folder that the user nobody can enter, for files it must reach.
class OpenFolder {
public:
    OpenFolder() { ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

OpenFailure::Situation deniedSituation() {
    OpenFailure::Situation s;
    s.permitted = false;
    s.permissions = 0660;
    s.ownerGroup = u"dialout"_s;
    s.userName = u"anna"_s;
    return s;
}

TEST(MissingDevice, NamesTheDevicesThatArePresentAndTheSettingsKey) {
    const QString unmapped =
        OpenFailure::describeUnmapped(4, {u"/dev/ttyUSB0"_s, u"/dev/ttyS0"_s}, {});
    EXPECT_TRUE(unmapped.startsWith(u"No serial device stands for COM4. Serial devices present: "
                                    "/dev/ttyUSB0, /dev/ttyS0."_s))
        << unmapped.toStdString();
    EXPECT_TRUE(unmapped.contains(u"section [Ports], key COM4"_s));
    EXPECT_TRUE(OpenFailure::describeUnmapped(4, {}, {}).contains(
        u"No serial device is present: check that the handheld's cable is plugged in."_s));
    EXPECT_EQ(OpenFailure::describeUnmapped(0, {}, {}),
              u"No port is chosen. Choose the handheld's port in the list first."_s);

    // A device that was there and is gone, opened through the real adapter by a name of its own:
    // another test may get the terminal's number as soon as it is free.
    PtyPair pty;
    ASSERT_TRUE(pty.open(kMasterOnly)) << pty.errorString().toStdString();
    QTemporaryDir links;
    const QString device = links.filePath(u"handheld"_s);
    ASSERT_TRUE(QFile::link(pty.slavePath(), device));
    ASSERT_TRUE(QFileInfo::exists(device));
    pty.hangUp();
    ASSERT_FALSE(QFileInfo::exists(device));
    MemorySettingsStore store;
    store.save(u"Ports"_s, u"COM3"_s, device);
    PortMap map(store);
    TtySerialPort port(map);
    port.setPortNumber(3);
    const SerialPort::OpenResult opened = port.open();
    EXPECT_FALSE(opened.ok);
    const QStringList present = PortMap::presentDevices();
    const QString expected = present.isEmpty()
                                 ? u"No serial device is present"_s
                                 : u"Serial devices present: %1."_s.arg(present.join(u", "_s));
    EXPECT_TRUE(opened.message.startsWith(
        u"The device %1 for COM3 does not exist: the handheld "
        "is unplugged, or its adapter now has another name. %2"_s.arg(device, expected)))
        << opened.message.toStdString();
}

TEST(VanishingDevice, NamesTheServiceThatTakesSerialDevices) {
    EXPECT_EQ(OpenFailure::takeoverAdvice({u"bash"_s, u"systemd"_s}), QString());
    const QString brltty = OpenFailure::takeoverAdvice({u"bash"_s, u"brltty"_s});
    EXPECT_TRUE(brltty.startsWith(u"The braille display service brltty is running."_s));
    EXPECT_TRUE(brltty.contains(u"sudo apt remove brltty"_s));
    EXPECT_FALSE(brltty.contains(u"ModemManager"_s));
    const QString modem = OpenFailure::takeoverAdvice({u"ModemManager"_s});
    EXPECT_TRUE(modem.startsWith(u"ModemManager is running."_s));
    EXPECT_TRUE(modem.contains(u"70-quorvelino-serial.rules"_s));
    EXPECT_TRUE(OpenFailure::describeUnmapped(1, {}, {u"ModemManager"_s}).endsWith(modem));

    // A running process named brltty, and a device that appeared and vanished (by a name of its
    // own, which no other test's terminal can take).
    ChildProcess service([] { return ::prctl(PR_SET_NAME, "brltty", 0, 0, 0) == 0; });
    ASSERT_TRUE(service.started());
    PtyPair pty;
    ASSERT_TRUE(pty.open(kMasterOnly)) << pty.errorString().toStdString();
    QTemporaryDir links;
    const QString device = links.filePath(u"handheld"_s);
    ASSERT_TRUE(QFile::link(pty.slavePath(), device));
    pty.hangUp();
    const QString message = OpenFailure::describe(1, device, u"No such file or directory"_s);
    EXPECT_TRUE(message.contains(u"does not exist"_s)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"\n\nThe braille display service brltty is running."_s))
        << message.toStdString();

    // Once the service is gone nothing is said about it (unless this machine runs its own).
    service.stop();
    if (!OpenFailure::runningProcessNames().contains(u"brltty"_s)) {
        EXPECT_FALSE(OpenFailure::describe(1, device, QString()).contains(u"brltty"_s));
    }
}

TEST(Permission, MessagesNameTheGroupAndTheNewLogin) {
    const QString notMember =
        OpenFailure::explain(2, u"/dev/ttyUSB0"_s, u"Permission denied"_s, deniedSituation());
    EXPECT_EQ(notMember, u"You may not open /dev/ttyUSB0 (COM2): the device belongs to the group "
                         "\"dialout\" and your user anna is not a member. Add it once with\n\n"
                         "    sudo usermod -aG dialout anna\n\n"
                         "then log out and log in again: the new group counts only from the "
                         "next login."_s);

    OpenFailure::Situation addedSinceLogin = deniedSituation();
    addedSinceLogin.inGroupDatabase = true;
    const QString relogin =
        OpenFailure::explain(2, u"/dev/ttyUSB0"_s, u"Permission denied"_s, addedSinceLogin);
    EXPECT_TRUE(relogin.contains(u"was added to the group \"dialout\" that owns the device after "
                                 "this login began: log out and log in again"_s))
        << relogin.toStdString();
    EXPECT_FALSE(relogin.contains(u"usermod"_s));

    OpenFailure::Situation ownerOnly = deniedSituation();
    ownerOnly.permissions = 0600;
    ownerOnly.groupMayReadWrite = false;
    const QString udev =
        OpenFailure::explain(2, u"/dev/ttyUSB0"_s, u"Permission denied"_s, ownerOnly);
    EXPECT_TRUE(udev.contains(u"its permissions (0600) let no group read and write it"_s))
        << udev.toStdString();
    EXPECT_TRUE(udev.contains(u"70-quorvelino-serial.rules"_s));

    // Already in the group and still refused: the library's own words, not a group hint.
    OpenFailure::Situation member = deniedSituation();
    member.inGroupNow = true;
    member.inGroupDatabase = true;
    EXPECT_EQ(OpenFailure::explain(2, u"/dev/ttyUSB0"_s, u"Permission denied"_s, member),
              u"/dev/ttyUSB0 (COM2) could not be opened: Permission denied"_s);
}

TEST(Permission, AFileWithoutPermissionIsRefusedInPlainWords) {
    OpenFolder folder;
    const QString path = folder.filePath(u"ttyLocked"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    const QString message =
        asUnprivilegedUser([&] { return OpenFailure::describe(5, path, u"Permission denied"_s); });
    EXPECT_EQ(message, u"You may not open %1 (COM5), and joining a group would not help: its "
                       "permissions (0000) let no group read and write it. A udev rule that "
                       "gives the device to the person at the desktop fixes this; see the "
                       "example udev rule 70-quorvelino-serial.rules that comes with the tool "
                       "(in /usr/share/doc/quorvelino-tool/examples when installed from the "
                       "package)."_s.arg(path));
}

TEST(Permission, ADeviceOfTheDialoutGroupNamesItAndAsksForANewLogin) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file to the group dialout and to test as nobody";
    const group* dialout = ::getgrnam("dialout");
    if (!dialout || !::getpwuid(kNobody))
        GTEST_SKIP() << "this machine has no group dialout or no user nobody";
    OpenFolder folder;
    const QString path = folder.filePath(u"ttyUSB0"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::chown(native.constData(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(native.constData(), 0660), 0);
    const QString message =
        asUnprivilegedUser([&] { return OpenFailure::describe(1, path, u"Permission denied"_s); });
    EXPECT_TRUE(message.contains(u"the device belongs to the group \"dialout\" and your user "
                                 "nobody is not a member"_s))
        << message.toStdString();
    EXPECT_TRUE(message.contains(u"sudo usermod -aG dialout nobody"_s));
    EXPECT_TRUE(message.contains(u"log out and log in again"_s));
}

TEST(HeldDevice, AProcessWithThePseudoTerminalOpenIsNamed) {
    PtyPair pty;
    ASSERT_TRUE(pty.open(kMasterOnly)) << pty.errorString().toStdString();
    const QByteArray slave = QFile::encodeName(pty.slavePath());
    ChildProcess holder([&] { return ::open(slave.constData(), O_RDWR | O_NOCTTY) >= 0; });
    ASSERT_TRUE(holder.started());

    EXPECT_EQ(OpenFailure::holders(pty.slavePath(), {}), QStringList{holderText(holder.pid())});
    const QString message = OpenFailure::describe(2, pty.slavePath(), u"Device or resource busy"_s);
    EXPECT_TRUE(message.startsWith(
        u"%1 (COM2) is in use by another program: %2. Close that "
        "program, then connect again."_s.arg(pty.slavePath(), holderText(holder.pid()))))
        << message.toStdString();

    holder.stop();
    EXPECT_EQ(OpenFailure::holders(pty.slavePath(), {}), QStringList());
}

TEST(HeldDevice, LockFilesOfBothKindsNameTheirLivingOwner) {
    QTemporaryDir locks;
    ChildProcess owner;
    ASSERT_TRUE(owner.started());
    const QString device = u"/dev/ttyUSB7"_s; // need not exist: only the lock file is read
    struct Lock {
        const char* name;
        QByteArray content;
    };
    const QByteArray pid = QByteArray::number(owner.pid());
    const QList<Lock> kinds = {
        {"LCK..ttyUSB7", QByteArray(10 - pid.size(), ' ') + pid + '\n'}, // UUCP programs
        {"LCK..ttyUSB7", pid + "\nminicom\nbench\n"},                    // Qt programs
    };
    for (const Lock& lock : kinds) {
        QFile file(locks.filePath(QString::fromLatin1(lock.name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(lock.content);
        file.close();
        EXPECT_EQ(OpenFailure::holders(device, {locks.path()}),
                  QStringList{holderText(owner.pid())})
            << lock.content.constData();
    }

    // A lock left behind by a program that has ended names nobody.
    owner.stop();
    EXPECT_EQ(OpenFailure::holders(device, {locks.path()}), QStringList());
}

TEST(HeldDevice, APortLockedByAnotherProgramIsRefusedWithItsName) {
    PtyPair pty;
    ASSERT_TRUE(pty.open(kMasterOnly)) << pty.errorString().toStdString();
    // The serial library locks "/dev/pts/5" as "LCK..pts_5" in /var/lock, with the PID, the
    // program and the host on three lines, and honours a lock whose program is still running.
    const QString lockPath = u"/var/lock/LCK.."_s + pty.slavePath().mid(5).replace(u'/', u'_');
    if (!QFileInfo(u"/var/lock"_s).isWritable())
        GTEST_SKIP() << "/var/lock is not writable here";
    ChildProcess owner;
    ASSERT_TRUE(owner.started());
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    {
        QFile lock(lockPath);
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(QByteArray::number(owner.pid()) + '\n' + program.toLocal8Bit() + "\n\n");
    }
    MemorySettingsStore store;
    store.save(u"Ports"_s, u"COM1"_s, pty.slavePath());
    PortMap map(store);
    TtySerialPort port(map);
    port.setPortNumber(1);
    const SerialPort::OpenResult opened = port.open();
    QFile::remove(lockPath);
    EXPECT_FALSE(opened.ok);
    EXPECT_TRUE(opened.message.startsWith(u"%1 (COM1) is in use by another program: %2."_s.arg(
        pty.slavePath(), holderText(owner.pid()))))
        << opened.message.toStdString();
}

TEST(HeldDevice, TheSameDeviceUnderAnotherNameIsRefusedWhileOpenAndFreeAfter) {
    PtyPair pty;
    ASSERT_TRUE(pty.open(kMasterOnly)) << pty.errorString().toStdString();
    QTemporaryDir links;
    const QString link = links.filePath(u"by-id-handheld"_s);
    ASSERT_TRUE(QFile::link(pty.slavePath(), link));
    MemorySettingsStore store;
    store.save(u"Ports"_s, u"COM1"_s, pty.slavePath());
    store.save(u"Ports"_s, u"COM2"_s, link);
    PortMap map(store);
    TtySerialPort first(map);
    first.setPortNumber(1);
    ASSERT_TRUE(first.open().ok);
    // Root opens any device in exclusive mode; the lock on the device holds whatever its name.
    TtySerialPort second(map);
    second.setPortNumber(2);
    const SerialPort::OpenResult refused = second.open();
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.message.contains(u"busy"_s)) << refused.message.toStdString();
    first.close();
    EXPECT_TRUE(second.open().ok);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
