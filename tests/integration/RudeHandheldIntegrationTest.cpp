// The real window and serial adapter against handhelds that answer the way slow, busy or chatty
// hardware does, and the real port's notification when bytes come while a modal box is open.

#include "exchange/CsvConversion.h"
#include "link/Link.h"
#include "link/ReplyHandlers.h"
#include "platform/PortMap.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSingleShotTimer.h"
#include "platform/ReaderInbox.h"
#include "platform/SystemClock.h"
#include "platform/TtySerialPort.h"
#include "sim/DeviceModel.h"
#include "tests/support/ConnectedTool.h"
#include "tests/support/FakeLinkView.h"
#include "tests/support/MemorySettingsStore.h"
#include "tests/support/ScriptedHandheld.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedHandheld.h"
#include "tests/support/TestFiles.h"
#include "ui/Form1.h"
#include "ui/FramePacer.h"
#include "ui/Tool.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray recordFileFor(int records) {
    QByteArray expected;
    for (const QByteArray& record : DeviceModel::demoRecords(records))
        expected += CsvConversion::recordToFileLine(record) + "\r\n";
    return expected;
}

// The real tool connected to quorvelino-sim started with the given options.
struct RudeSession {
    explicit RudeSession(const QStringList& options) : sim(options) {}

    bool connect() {
        if (!sim.started())
            return false;
        tool.start();
        tool.controls().setCurrentIndex(Control::Port, 0);
        return connectAndWaitForChain(tool, kPatientMs);
    }
    QString recordPath() const { return files.filePath(u"records.csv"_s); }
    void startDownload() {
        tool.controls().setText(Control::PfadSpeichern, recordPath());
        tool.window().button("LeseErfassungen").click();
    }

    QTemporaryDir files;
    SimulatedHandheld sim;
    ScriptedMessageBoxes boxes;
    Tool tool{&boxes};
};

TEST(RudeHandheldIntegrationTest, EveryRecordArrivesWhateverTheHandheldsManners) {
    const QStringList manners[] = {
        // The count reply starts late and comes a byte at a time, ending after the 21st read.
        {u"--latency"_s, u"910"_s, u"--split-every"_s},
        // A late "Ok" comes before every answer, the count reply among them.
        {u"--late-line"_s, u"Ok"_s, u"--trickle"_s, u"15"_s},
        // Every command is echoed before its answer; the records pause and resume.
        {u"--echo"_s, u"--pause-every"_s, u"5"_s, u"--pause-ms"_s, u"1500"_s},
    };
    for (const QStringList& manner : manners) {
        SCOPED_TRACE(manner.join(u' ').toStdString());
        RudeSession session(manner + QStringList{u"--records"_s, u"15"_s});
        ASSERT_TRUE(session.connect()) << "no connection";
        session.startDownload();
        ASSERT_TRUE(waitUntil([&] { return !session.boxes.shown().isEmpty(); }, kPatientMs));
        EXPECT_EQ(session.boxes.texts(), QStringList{u"Transfer of records finished."_s});
        EXPECT_EQ(readFile(session.recordPath()), recordFileFor(15));
    }
}

TEST(RudeHandheldIntegrationTest, ButtonsThatSendAreRefusedWhileRecordsArrive) {
    // At the wire rate 400 records take about 3 s; the handheld would answer at once, between two
    // records.
    RudeSession session({u"--records"_s, u"400"_s, u"--wire"_s, u"--interleave"_s});
    ASSERT_TRUE(session.connect()) << "no connection";
    session.startDownload();
    ASSERT_TRUE(
        waitUntil([&] { return readFile(session.recordPath()).count('\n') >= 20; }, kPatientMs));
    for (const char* button : {"Buzzer", "LoescheErfassungen", "ReadId", "Statistik"})
        session.tool.window().button(button).click();
    ASSERT_TRUE(waitUntil([&] { return session.boxes.shown().size() == 5; }, kPatientMs));
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(session.boxes.shown()[n].title, u"Record download running"_s);
        EXPECT_TRUE(session.boxes.texts()[n].contains(session.recordPath()));
    }
    EXPECT_EQ(session.boxes.texts().last(), u"Transfer of records finished."_s);
    EXPECT_EQ(readFile(session.recordPath()), recordFileFor(400));
}

// Shows a real modal box for the third line; the line handler runs inside the port's
// notification, as every receive does.
class BoxOnThirdLine final : public RecordLineHandler {
public:
    explicit BoxOnThirdLine(MessageBoxes& boxes) : m_boxes(boxes) {}
    HandlerResult handleRecordLine(const QByteArray& line) override {
        lines << line;
        if (lines.size() == 3)
            m_boxes.show(u"Three lines."_s, u"Test"_s, MessageBoxes::Icon::Information,
                         MessageBoxes::Buttons::Ok);
        return HandlerResult::ok();
    }
    QList<QByteArray> lines;

private:
    MessageBoxes& m_boxes;
};

// The link on Qt's real serial port, opened on a pseudo-terminal whose other side the test
// writes to as a handheld that answers nothing, receiving records; posted calls run from the real
// event loop.
struct RealLink {
    explicit RealLink(MessageBoxes& boxes)
        : link(port, view, boxes, clock, clock, [this](std::function<void()> call) {
              QTimer::singleShot(0, &context, std::move(call));
          }) {
        handheld.setSilent(true);
        settings.save(u"Ports"_s, u"COM1"_s, handheld.device());
        link.setReplyMode(ReplyMode::RecordDownload);
        port.setPortNumber(1);
    }
    bool open() { return handheld.ok() && port.open().ok; }

    ScriptedHandheld handheld;
    MemorySettingsStore settings;
    PortMap map{settings};
    TtySerialPort port{map};
    FakeLinkView view;
    SystemClock clock;
    QObject context;
    Link link;
};

TEST(RealPortTest, BytesThatArriveWhileABoxIsOpenAreHandledWhenItCloses) {
    QtMessageBoxes boxes(nullptr);
    RealLink real(boxes);
    ASSERT_TRUE(real.open()) << "no pseudo-terminal";
    ScriptedHandheld& handheld = real.handheld;
    QObject& context = real.context;
    BoxOnThirdLine handler(boxes);
    real.link.dispatcher().attach(&handler);

    // While the box is open the handheld sends a fourth line, and then nothing more; the
    // operator closes the box half a second later.
    QTimer::singleShot(200, &context, [&] { handheld.send("four\r\n"); });
    QTimer::singleShot(700, &context, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    ASSERT_TRUE(handheld.send("one\r\ntwo\r\nthree\r\n"));
    ASSERT_TRUE(waitUntil([&] { return handler.lines.size() >= 3; }, kPatientMs));
    EXPECT_TRUE(waitUntil([&] { return handler.lines.size() == 4; }, kPatientMs))
        << "the line that came during the box waits for bytes that never come";
    EXPECT_EQ(real.view.zeile(), "four");
}

// The record lines, as they are handled.
class LineList final : public RecordLineHandler {
public:
    HandlerResult handleRecordLine(const QByteArray& line) override {
        lines << line;
        return HandlerResult::ok();
    }
    QList<QByteArray> lines;
};

TEST(RealPortTest, HeldInputLeavesTheDriverSoonAndEveryFrameTakesInAllThatCame) {
    ScriptedMessageBoxes boxes;
    RealLink real(boxes);
    ASSERT_TRUE(real.open()) << "no pseudo-terminal";
    ScriptedHandheld& handheld = real.handheld;
    Link& link = real.link;
    TtySerialPort& port = real.port;
    QObject& context = real.context;
    bool framePending = true;
    link.setFramePending([&] { return framePending; });
    LineList handler;
    link.dispatcher().attach(&handler);
    const auto handled = [&](qsizetype lines, int withinMs) {
        return waitUntil([&] { return handler.lines.size() >= lines; }, withinMs);
    };

    // The first record wakes the handler; from then on the frame takes the records in.
    ASSERT_TRUE(handheld.send("one\r\n"));
    ASSERT_TRUE(handled(1, kPatientMs));
    ASSERT_TRUE(handheld.send("two\r\n"));
    EXPECT_FALSE(handled(2, 300)) << "held input still wakes the window";
    EXPECT_EQ(handheld.unread(), 0) << "held input waits in the driver, where a hang-up drops it";
    link.takeInputForFrame();
    EXPECT_EQ(handler.lines.size(), 2);

    // A handler in a modal box: what arrives is read, for the end of the handler.
    int unreadInBox = -1;
    QtMessageBoxes realBoxes(nullptr);
    link.gate().run([&] {
        QTimer::singleShot(100, &context, [&] { handheld.send("three\r\n"); });
        QTimer::singleShot(400, &context, [&] {
            unreadInBox = handheld.unread();
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->accept();
        });
        realBoxes.show(u"A box."_s, u"Test"_s, MessageBoxes::Icon::Information,
                       MessageBoxes::Buttons::Ok);
    });
    EXPECT_EQ(unreadInBox, 0) << "the handheld's bytes piled up in the driver during the box";
    EXPECT_TRUE(handled(3, kPatientMs));

    // Held, the reader gathers the driver's input only now and then; a frame takes in what has
    // reached the driver since.
    ASSERT_TRUE(handheld.send("four\r\n"));
    waitUntil([&] { return handheld.unread() > 0; }, 200);
    link.takeInputForFrame();
    EXPECT_EQ(handler.lines.size(), 4) << "the frame shows only what the reader gathered";

    // Held again; a frame that is the last one releases the hold, and the next record is
    // announced at once.
    ASSERT_TRUE(handheld.send("five\r\n"));
    EXPECT_FALSE(handled(5, 300));
    framePending = false;
    link.takeInputForFrame();
    EXPECT_EQ(handler.lines.size(), 5);
    ASSERT_TRUE(handheld.send("six\r\n"));
    EXPECT_TRUE(handled(6, kPatientMs));
    EXPECT_EQ(real.view.log(), "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\n");

    // Frames that come while the reader gathers take the input from under it: the reader then
    // finds nothing to read, which is no hang-up.
    framePending = true;
    const qsizetype before = handler.lines.size();
    qsizetype sent = 0;
    QElapsedTimer racing;
    racing.start();
    while (racing.elapsed() < 1500) {
        if (racing.elapsed() >= sent * 5 && handheld.send("x\r\n"))
            ++sent;
        link.takeInputForFrame();
        QCoreApplication::processEvents();
    }
    framePending = false;
    link.takeInputForFrame();
    EXPECT_TRUE(port.isOpen()) << "a frame that took the reader's input was taken for a hang-up";
    EXPECT_TRUE(handled(before + sent, kPatientMs));

    // A polled wait lets the window bring its screen up to date before it blocks, and only then.
    int shown = 0;
    port.setBeforeBlocking([&] { ++shown; });
    EXPECT_FALSE(port.waitForInput(0));
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(port.waitForInput(20));
    EXPECT_EQ(shown, 1);
    port.close();
}

TEST(RealPortTest, ACablePulledWhileABoxIsOpenKeepsEveryLineThatCameAndSaysItHungUp) {
    ScriptedMessageBoxes boxes;
    RealLink real(boxes);
    ASSERT_TRUE(real.open()) << "no pseudo-terminal";
    ScriptedHandheld& handheld = real.handheld;
    bool framePending = true;
    real.link.setFramePending([&] { return framePending; });
    LineList handler;
    real.link.dispatcher().attach(&handler);
    QStringList reasons;
    qsizetype handledAtReport = -1;
    real.link.setLossReport([&](const QString& why) {
        reasons << why;
        handledAtReport = handler.lines.size();
    });

    // Records come and are held for a frame that does not come before the operator opens a box;
    // more records come while it is open, then the cable is pulled, and the box is closed later.
    ASSERT_TRUE(handheld.send("r1\r\n"));
    ASSERT_TRUE(waitUntil([&] { return handler.lines.size() == 1; }, kPatientMs));
    ASSERT_TRUE(handheld.send("r2\r\nr3\r\n"));
    QThread::msleep(50);
    QtMessageBoxes realBoxes(nullptr);
    real.link.gate().run([&] {
        QTimer::singleShot(100, &real.context, [&] { handheld.send("r4\r\nr5\r\nr6\r\n"); });
        QTimer::singleShot(300, &real.context, [&] { handheld.hangUp(); });
        QTimer::singleShot(800, &real.context, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->accept();
        });
        realBoxes.show(u"A box."_s, u"Test"_s, MessageBoxes::Icon::Information,
                       MessageBoxes::Buttons::Ok);
    });
    ASSERT_TRUE(waitUntil([&] { return !reasons.isEmpty(); }, kPatientMs))
        << "the loss went untold";
    EXPECT_EQ(handledAtReport, 6) << "lines the tool had received were lost with the cable";
    EXPECT_EQ(reasons, QStringList{ReaderInbox::hungUpText()});
    EXPECT_FALSE(real.port.isOpen());
    EXPECT_FALSE(waitUntil([&] { return reasons.size() > 1; }, 300)) << "told twice";
}

TEST(RealPortTest, APaintBeforeTheFrameIsDueTakesTheHeldInputIn) {
    ScriptedMessageBoxes boxes;
    RealLink real(boxes);
    ASSERT_TRUE(real.open()) << "no pseudo-terminal";
    SystemClock clock;
    QtSingleShotTimer frameTimer;
    FramePacer pacer(frameTimer, clock, [] {});
    real.view.paceWith(pacer);
    real.link.setFramePending([&] { return pacer.framePending(); });
    pacer.setBeforeFrame([&] { real.link.takeInputForFrame(); });
    LineList handler;
    real.link.dispatcher().attach(&handler);

    // The first record asks for a frame, and the next is held for it.
    ASSERT_TRUE(real.handheld.send("r1\r\n"));
    ASSERT_TRUE(waitUntil([&] { return handler.lines.size() == 1; }, kPatientMs));
    ASSERT_TRUE(real.handheld.send("r2\r\n"));
    // The event loop stands still meanwhile.
    QThread::msleep(FramePacer::kFrameMs - FramePacer::kEarlyTakeMs + 3);
    EXPECT_EQ(real.handheld.unread(), 0);
    ASSERT_EQ(handler.lines.size(), 1);
    // A progress report outside every handler finds the frame almost due and paints at once:
    // that paint is the frame the held record waited for.
    pacer.request();
    EXPECT_EQ(handler.lines.size(), 2) << "held input waits for a frame that has been painted";
}

} // namespace
