// An operator who does anything in any order, against a handheld as rude as real hardware.
//
// Each run is one seed: the handheld trickles its answers in random pieces, may put a late line
// or an echo before them, may interleave them with records and pause its records; the operator
// connects, downloads, uploads, erases, asks for statistics, beeps, writes the display, reads
// IDs once or continuously, pulls the cable, and answers message boxes late. After every step the
// invariants that protect the operator's data and the handheld are checked. A failure names its
// seed; QV_RANDOM_SEEDS=first:count and QV_RANDOM_STEPS=n run other or longer campaigns.

#include "exchange/CsvConversion.h"
#include "exchange/MemoryCommands.h"
#include "exchange/RecordDownload.h"
#include "exchange/SelectionUpload.h"
#include "exchange/TransferProgress.h"
#include "online/IdentificationReads.h"
#include "online/Peripherals.h"
#include "tests/support/RudeHandheld.h"
#include "tests/support/ToolHarness.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One operator session of `steps` random actions.
class Session {
public:
    explicit Session(quint32 seed)
        : m_random(seed),
          m_handheld(h.clock, h.port, modelOptions(m_random), handheldOptions(m_random), seed) {
        m_handheld.attach();
        h.startTimer();
        h.boxes.whileOpen([this] { boxOpen(); });
        h.controls.setText(Control::PfadSpeichern, m_dir.filePath(u"records.csv"_s));
        h.controls.setText(Control::PfadLaden, m_dir.filePath(u"selections.csv"_s));
    }

    // Runs the steps; false with the failure in `why` at the first broken invariant.
    bool run(int steps, QString* why) {
        for (m_step = 1; m_step <= steps && m_failure.isEmpty(); ++m_step)
            act();
        if (m_failure.isEmpty())
            quiet(); // at the end the line falls quiet: nothing may be left unread
        *why = m_failure;
        return m_failure.isEmpty();
    }

private:
    static DeviceModel::Options modelOptions(QRandomGenerator& random) {
        DeviceModel::Options options;
        options.records = random.bounded(40);
        options.capacity = 5 + random.bounded(20);
        return options;
    }
    static RudeHandheld::Options handheldOptions(QRandomGenerator& random) {
        RudeHandheld::Options options;
        options.latencyMs = random.bounded(900);
        options.trickleMs = random.bounded(3) == 0 ? -1 : random.bounded(60);
        options.lineGapMs = random.bounded(200);
        options.echo = random.bounded(4) == 0;
        if (random.bounded(3) == 0)
            options.lateLine = "Ok";
        options.interleave = random.bounded(2) == 0;
        if (random.bounded(3) == 0)
            options.afterRecords = "End";
        options.pauseEvery = random.bounded(3) == 0 ? 1 + random.bounded(10) : 0;
        options.pauseMs = random.bounded(4000);
        return options;
    }

    bool connected() const { return h.controls.isChecked(Control::Connect); }

    void fail(const QString& what) {
        if (m_failure.isEmpty())
            m_failure = u"step %1 (%2): %3"_s.arg(m_step).arg(m_action, what);
    }

    // An operator's click on a button that sends, wired as the window wires it.
    void click(const std::function<void()>& handler) {
        h.act([&] {
            if (!download.refuseWhileTransferring())
                handler();
        });
    }

    void act() {
        const int choice = static_cast<int>(m_random.bounded(16));
        m_sentBefore = h.port.written().size();
        m_pulledInBox = false;
        m_allowed.clear();
        if (!connected() && choice < 13)
            connect();
        else
            operate(choice);
        h.idle(m_random.bounded(4000));
        check();
    }

    // One action by its number: 0 to 4 use the memory, 5 to 8 the peripherals, 9 to 11 the line;
    // above that the operator waits.
    void operate(int choice) {
        switch (choice) {
        case 0:
        case 1:
            startDownload();
            break;
        case 2:
            upload();
            break;
        case 3:
            statistic();
            break;
        case 4:
            erase();
            break;
        case 5:
            buzzer();
            break;
        case 6:
            display();
            break;
        case 7:
            readId();
            break;
        case 8:
            toggleContinuousReading();
            break;
        case 9:
            pullCable();
            break;
        case 10:
            disconnect();
            break;
        case 11:
            quiet();
            break;
        default:
            m_action = u"waiting"_s;
            break;
        }
    }

    void connect() {
        m_action = u"connect"_s;
        m_allowed << "ONLINE";
        h.controls.pick(Control::Port, 0);
        h.clickConnect();
    }

    void startDownload() {
        m_action = u"download"_s;
        m_allowed << "STA"
                  << "GET";
        const bool wasRunning = download.transferring();
        const qsizetype sentBefore = m_handheld.recordsSent().size();
        click([&] { download.start(); });
        if (!wasRunning)
            m_recordsFrom = sentBefore; // the file is emptied and filled from here on
        m_downloads += wasRunning ? 0 : 1;
    }

    void upload() {
        m_action = u"upload"_s;
        QByteArray file;
        const int lines = static_cast<int>(m_random.bounded(5));
        for (int n = 0; n < lines; ++n) {
            const QByteArray line = "S" + QByteArray::number(m_random.bounded(1000)) + ";x";
            file += line + (m_random.bounded(2) ? "\r\n" : "\n");
            m_allowed << "PUT " + CsvConversion::selectionToCommand(line).mid(4);
        }
        QFile out(m_dir.filePath(u"selections.csv"_s));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(file) != file.size())
            fail(u"the selection file cannot be written"_s);
        out.close();
        click([&] { selectionUpload.start(); });
    }

    void statistic() {
        m_action = u"statistic"_s;
        m_allowed << "STA";
        click([&] { memory.showStatistics(); });
    }

    void erase() {
        const bool records = m_random.bounded(2) == 0;
        h.boxes.answerNext(m_random.bounded(2) == 0 ? MessageBoxes::Answer::Yes
                                                    : MessageBoxes::Answer::No);
        m_action = records ? u"erase records"_s : u"erase selections"_s;
        m_allowed << (records ? "DEL E" : "DEL T");
        click([&] { records ? memory.eraseRecords() : memory.eraseSelections(); });
    }

    void buzzer() {
        m_action = u"buzzer"_s;
        m_allowed << "BEEP";
        click([&] { peripherals.buzzer(); });
    }

    void display() {
        m_action = u"display"_s;
        // Pasted text keeps its line breaks; none may reach the handheld inside a command.
        const QString text = m_random.bounded(2) ? u"Hello\r\nDEL E"_s : u"Hello"_s;
        h.controls.setText(Control::DisplayText, text);
        m_allowed << "DISPLAY 1 \"Hello"
                  << "DISPLAY 1 \"Hello\"";
        click([&] { peripherals.showText(); });
    }

    void readId() {
        m_action = u"read ID"_s;
        m_allowed << "READID"
                  << "SCAN";
        click(
            [&] { m_random.bounded(2) ? identification.readId() : identification.scanBarcode(); });
    }

    // Continuous reading takes every line for a result and answers it with the next "READID": a
    // handheld that sends more than one line per read would be asked ever faster.
    void toggleContinuousReading() {
        m_action = u"continuous reading"_s;
        if (!m_handheld.options().echo && m_handheld.options().lateLine.isEmpty())
            h.controls.setChecked(Control::ReadCont, !h.controls.isChecked(Control::ReadCont));
    }

    void pullCable() {
        m_action = u"cable pulled"_s;
        const bool wasConnected = connected();
        const qsizetype before = h.boxes.shown().size();
        m_handheld.unplug();
        h.port.pull();
        h.idle(100);
        if (wasConnected)
            checkLossMessages(before);
        if (connected())
            fail(u"the window stayed connected to a pulled cable"_s);
    }

    void disconnect() {
        m_action = u"disconnect"_s;
        m_allowed << "DISCONNECT";
        h.clickConnect();
    }

    // A pulled cable is told once, unless the operator was told already that the connection
    // failed (minLost 0). Records that reached the tool before it may still end the download,
    // which is then told as well.
    void checkLossMessages(qsizetype before, int minLost = 1) {
        h.idle(0); // a box may have kept the window past the step's time
        QStringList others;
        int lost = 0;
        for (const auto& shown : h.boxes.shown().mid(before)) {
            if (shown.title == u"Connection lost"_s)
                ++lost;
            else if (shown.text != u"Transfer of records finished."_s)
                others << shown.text;
        }
        if (lost < minLost || lost > 1 || !others.isEmpty())
            fail(u"a pulled cable gave %1 connection messages and these: %2"_s.arg(lost).arg(
                others.join(u" | "_s)));
    }

    // The cable is pulled while a box is open, which may have been open for a while (the window's
    // timer ticks wait for it meanwhile). Every record whose bytes had reached the tool is
    // written before the operator is told.
    void pullWhileBoxOpen() {
        if (m_random.bounded(2) == 0)
            h.clock.advanceTo(h.clock.now() + 12000);
        m_pulledInBox = true;
        m_messagesBeforePull = h.boxes.shown().size();
        m_recordsAfterPull = -1;
        if (download.transferring() && h.link.replyMode() == ReplyMode::RecordDownload) {
            const QByteArray unhandled = h.link.receiveBuffer().pending() + h.port.pendingInput();
            qint64 lines = 0;
            for (qsizetype from = 0, end; (end = unhandled.indexOf("\r\n", from)) >= 0;
                 from = end + 2)
                lines += end > from ? 1 : 0;
            m_recordsAfterPull = std::min(download.received() + lines, download.announced());
        }
        m_handheld.unplug();
        h.port.pull();
    }

    void checkPullInBox() {
        checkLossMessages(m_messagesBeforePull, 0);
        const qsizetype lines = readAll(recordPath()).count("\r\n");
        if (m_recordsAfterPull >= 0 && lines != m_recordsAfterPull)
            fail(u"the cable was pulled in a box with %1 records received, the file holds %2"_s
                     .arg(m_recordsAfterPull)
                     .arg(lines));
    }

    // A message box is open: the operator may take seconds to answer, and the handheld goes on.
    void boxOpen() {
        const auto& shown = h.boxes.shown().last();
        if (shown.title.isEmpty())
            fail(u"a box without a title: %1"_s.arg(shown.text));
        if (shown.text == u"Transfer of records finished."_s) {
            const qsizetype lines = readAll(recordPath()).count("\r\n");
            if (lines != download.announced())
                fail(u"\"finished\" with %1 of %2 records in the file"_s.arg(lines).arg(
                    download.announced()));
        }
        if (m_random.bounded(10) == 0 && !m_pulledInBox && h.port.isOpen())
            pullWhileBoxOpen();
        else if (m_random.bounded(3) == 0)
            h.clock.advanceTo(h.clock.now() + m_random.bounded(15000));
    }

    QString recordPath() const { return m_dir.filePath(u"records.csv"_s); }

    void check() {
        checkWire();
        checkRecordFile();
        if (m_pulledInBox)
            checkPullInBox();
    }

    // Every line on the wire is a command the operator chose, with exactly one CR at its end.
    void checkWire() {
        const QByteArray sent = h.port.written().mid(m_sentBefore);
        if (sent.contains('\n'))
            fail(u"an LF went out: %1"_s.arg(QString::fromLatin1(sent)));
        if (!sent.isEmpty() && !sent.endsWith('\r'))
            fail(u"a command went out without its CR: %1"_s.arg(QString::fromLatin1(sent)));
        QList<QByteArray> lines = sent.split('\r');
        lines.removeLast();
        // The status chain that a connect starts, and continuous reading, go on by themselves.
        static const QList<QByteArray> background = {
            "READID", "DISCONNECT", "TAGTYP",   "OFF",      "TIMEOUT", "GPSTIMEOUT", "FDXCODE",
            "ENBEEP", "GPS",        "FUNCTION", "LANGUAGE", "AKKU",    "VERSION",    "SNR"};
        for (const QByteArray& line : lines) {
            if (!m_allowed.contains(line) && !background.contains(line))
                fail(u"\"%1\" went out"_s.arg(QString::fromLatin1(line)));
        }
    }

    // The record file holds only record lines the handheld sent as records, in order, none
    // twice, none cut.
    void checkRecordFile() {
        if (m_downloads == 0)
            return;
        QList<QByteArray> lines = readAll(recordPath()).split('\n');
        if (!lines.last().isEmpty())
            fail(u"the record file ends inside a line"_s);
        lines.removeLast();
        const QList<QByteArray>& sent = m_handheld.recordsSent();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const qsizetype at = m_recordsFrom + i;
            if (at >= sent.size() || lines[i] != CsvConversion::recordToFileLine(sent[at]) + '\r') {
                fail(u"line %1 of the record file is \"%2\", no record sent in that place"_s
                         .arg(i + 1)
                         .arg(QString::fromLatin1(lines[i])));
                return;
            }
        }
    }

    // With the operator doing nothing, no received byte waits longer than a frame: bytes still
    // waiting after a while (a handheld that goes on sending, a box that was answered late) are
    // read by the next frame, or as soon as the handler that held them up has ended.
    void quiet() {
        m_action = u"quiet"_s;
        h.controls.setChecked(Control::ReadCont, false);
        h.idle(30000);
        const QByteArray waiting = h.port.pendingInput();
        h.idle(FramePacer::kFrameMs + 1);
        if (!waiting.isEmpty() && h.port.pendingInput().startsWith(waiting))
            fail(u"%1 received bytes were left unread: \"%2\""_s.arg(waiting.size())
                     .arg(QString::fromLatin1(waiting)));
    }

    QRandomGenerator m_random;
    QTemporaryDir m_dir;

public:
    ToolHarness h;

private:
    RudeHandheld m_handheld;

public:
    IdentificationReads& identification = h.set.identification;
    Peripherals& peripherals = h.set.peripherals;
    RecordDownload& download = h.set.download;
    SelectionUpload& selectionUpload = h.set.upload;
    MemoryCommands& memory = h.set.memory;

private:
    int m_step = 0;
    QString m_action;
    QString m_failure;
    QList<QByteArray> m_allowed;
    qsizetype m_sentBefore = 0;
    qsizetype m_recordsFrom = 0;
    int m_downloads = 0;
    bool m_pulledInBox = false;
    qsizetype m_messagesBeforePull = 0;
    qint64 m_recordsAfterPull = -1;
};

std::pair<quint32, int> seedRange() {
    const QByteArray range = qgetenv("QV_RANDOM_SEEDS");
    const qsizetype colon = range.indexOf(':');
    if (colon < 0)
        return {1, 30};
    return {range.left(colon).toUInt(), range.mid(colon + 1).toInt()};
}

TEST(RandomSessionTest, RecordsAndCommandsStayExactWhateverTheOperatorAndTheHandheldDo) {
    const auto [first, count] = seedRange();
    const int steps = qEnvironmentVariableIsSet("QV_RANDOM_STEPS")
                          ? qEnvironmentVariableIntValue("QV_RANDOM_STEPS")
                          : 150;
    for (quint32 seed = first; seed < first + quint32(count); ++seed) {
        Session session(seed);
        QString why;
        EXPECT_TRUE(session.run(steps, &why))
            << "seed " << seed << ": " << why.toStdString() << "\n(again: QV_RANDOM_SEEDS=" << seed
            << ":1 build/tests/exchange/test_exchange "
            << "--gtest_filter='RandomSession*')";
    }
}

} // namespace
