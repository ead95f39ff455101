// Record files that cannot be written and selection files of every shape, through the real
// window on a simulated handheld.

#include "tests/faults/FaultSession.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Files written by this process may not grow beyond `bytes` while it lives, as on a disk that
// fills up: a write past the limit fails with "File too large" (its signal ignored).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_signal)(int) = SIG_DFL;
};

// Acts as the user nobody while it lives when the test runs as root, so that file permissions
// apply; as any other user nothing changes.
class Unprivileged {
public:
    Unprivileged() : m_wasRoot(::geteuid() == 0) {
        if (m_wasRoot)
            m_ok = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
    }
    ~Unprivileged() {
        if (m_wasRoot) {
            [[maybe_unused]] const int user = ::seteuid(0);
            [[maybe_unused]] const int group = ::setegid(0);
        }
    }
    Unprivileged(const Unprivileged&) = delete;
    Unprivileged& operator=(const Unprivileged&) = delete;
    bool ok() const { return m_ok; }

private:
    static constexpr uid_t kNobody = 65534;
    bool m_wasRoot;
    bool m_ok = true;
};

class RecordFileFault : public FaultSession {
protected:
    RecordFileFault() : FaultSession({u"--records"_s, u"10"_s}) {}

    // Starts a download into the file and waits for its one message.
    QString downloadInto(const QString& file) {
        boxes.clear();
        tool.controls().setText(Control::PfadSpeichern, file);
        click("LeseErfassungen");
        waitUntil([&] { return !boxes.shown().isEmpty(); }, kPatientMs);
        settle(200);
        return boxes.texts().join(u" | "_s);
    }
    bool idleAndClosed() {
        return tool.link().replyMode() == ReplyMode::Idle && !tool.dataFile().isOpen() &&
               tool.link().port().isOpen();
    }
};

TEST_F(RecordFileFault, AFullDiskStopsTheDownloadWithAMessageAndTheToolGoesOn) {
    ASSERT_TRUE(connectAndWaitForChain());
    const QList<QByteArray> records = DeviceModel::demoRecords(10);

    QString message = downloadInto(u"/dev/full"_s);
    EXPECT_TRUE(message.contains(u"Record 1 of 10 could not be saved"_s)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"No space left on device"_s)) << message.toStdString();
    EXPECT_TRUE(idleAndClosed());

    // A disk that fills up after five records: they stay, and no piece of the sixth.
    const QString partly = path("partly.csv");
    {
        FileSizeLimit limit(static_cast<rlim_t>(recordFileOf(records, 5).size() + 7));
        message = downloadInto(partly);
    }
    EXPECT_TRUE(message.contains(u"Record 6 of 10 could not be saved"_s)) << message.toStdString();
    EXPECT_TRUE(message.contains(u"File too large"_s)) << message.toStdString();
    EXPECT_TRUE(message.contains(partly)) << "the message says where the five records are";
    EXPECT_EQ(readFile(partly), recordFileOf(records, 5));
    EXPECT_TRUE(idleAndClosed());

    // The records that came after the failure were only logged; the next download is whole.
    message = downloadInto(path("whole.csv"));
    EXPECT_EQ(message, u"Transfer of records finished."_s);
    EXPECT_EQ(readFile(path("whole.csv")), recordFileOf(records, 10));
}

TEST_F(RecordFileFault, AFolderTheUserMayNotWriteIsRefusedAndItsFileKept) {
    ASSERT_TRUE(connectAndWaitForChain());
    const QString folder = path("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString earlier = folder + u"/records.csv"_s;
    writeFile(earlier, "1;kept\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(files.path()).constData(), 0755), 0);

    QString newFile;
    QString intoEarlier;
    {
        Unprivileged nobody;
        ASSERT_TRUE(nobody.ok());
        newFile = downloadInto(folder + u"/new.csv"_s);
        intoEarlier = downloadInto(earlier);
    }
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    for (const QString& message : {newFile, intoEarlier}) {
        EXPECT_TRUE(message.startsWith(u"The records cannot be saved."_s)) << message.toStdString();
        EXPECT_TRUE(message.contains(u"Permission denied"_s)) << message.toStdString();
    }
    EXPECT_EQ(readFile(earlier), "1;kept\r\n") << "a refused download empties nothing";
    EXPECT_FALSE(QFile::exists(folder + u"/new.csv"_s));
    EXPECT_TRUE(idleAndClosed());
}

class SelectionFileShapes : public FaultSession {
protected:
    static QString dumpPath() { return QDir::tempPath() + u"/qv-faults-selections.txt"_s; }
    SelectionFileShapes() : FaultSession({u"--capacity"_s, u"300"_s, u"--dump"_s, dumpPath()}) {}
    ~SelectionFileShapes() override { QFile::remove(dumpPath()); }

    QString upload(const QString& file) {
        boxes.clear();
        tool.controls().setText(Control::PfadLaden, file);
        click("GeneriereDaten");
        return boxes.texts().join(u" | "_s);
    }
    // What the handheld holds, one selection a line, once the simulator has ended.
    QList<QByteArray> stored() {
        sim.stop();
        QList<QByteArray> lines = readFile(dumpPath()).split('\n');
        lines.removeLast();
        return lines;
    }
};

TEST_F(SelectionFileShapes, MissingEmptyAndBinaryFiles) {
    ASSERT_TRUE(connectAndWaitForChain());

    QString message = upload(path("missing.csv"));
    EXPECT_TRUE(message.contains(path("missing.csv"))) << message.toStdString();
    EXPECT_TRUE(message.contains(u"No such file"_s)) << message.toStdString();

    writeFile(path("empty.csv"), QByteArray());
    EXPECT_EQ(upload(path("empty.csv")), QString());
    EXPECT_EQ(tool.window().log().text(), QByteArray());

    // Every byte value, CRs and LFs among them: each CR ends a selection, and one that holds an
    // LF is not sent, and named.
    QRandomGenerator random(1207);
    QByteArray binary;
    for (int i = 0; i < 3000; ++i)
        binary.append(static_cast<char>(random.bounded(256)));
    writeFile(path("binary.bin"), binary);
    EXPECT_TRUE(upload(path("binary.bin")).contains(u"Not sent: "_s));
    EXPECT_FALSE(tool.dataFile().isOpen());

    QList<QByteArray> expected;
    const QByteArray lines = QByteArray(binary).replace("\r\n", "\r");
    for (QByteArray line : lines.split('\r')) {
        if (!line.contains('\n'))
            expected << line.replace(';', '|');
    }
    if (lines.endsWith('\r'))
        expected.removeLast();
    EXPECT_EQ(stored(), expected);
}

TEST_F(SelectionFileShapes, LinesOfAHundredKilobytesAndAHundredThousandLines) {
    ASSERT_TRUE(connectAndWaitForChain());

    // The handheld refuses a command that long; the tool says which selection it did not take.
    const QByteArray longLine(100 * 1024, 'L');
    writeFile(path("long.csv"), "first\r\n" + longLine + "\r\nlast\r\n");
    QString message = upload(path("long.csv"));
    EXPECT_TRUE(message.contains(u"did not acknowledge 1 of the 3 selections"_s))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith(u"Not acknowledged: 2."_s)) << message.toStdString();

    // The handheld's memory (300) is full long before the file's end.
    QByteArray many;
    for (int n = 1; n <= 100000; ++n)
        many += QByteArray::number(n) + ";x\r\n";
    writeFile(path("many.csv"), many);
    message = upload(path("many.csv"));
    EXPECT_TRUE(message.contains(u"memory is full. Selection 299 (line 299 of 100000) was not "
                                 "stored. The 99701 lines after it were not sent."_s))
        << message.toStdString();
    EXPECT_FALSE(tool.dataFile().isOpen());

    const QList<QByteArray> held = stored();
    ASSERT_EQ(held.size(), 300);
    EXPECT_EQ(held.mid(0, 2), (QList<QByteArray>{"first", "last"}));
    EXPECT_EQ(held.at(2), "1|x");
    EXPECT_EQ(held.last(), "298|x");
}

} // namespace
