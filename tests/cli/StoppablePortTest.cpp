#include "cli/StoppablePort.h"

#include "exchange/SelectionUpload.h"
#include "tests/exchange/ExchangeFixture.h"

using namespace Qt::StringLiterals;

namespace {

// A stop request (Ctrl+C) while the upload blocks the thread: the upload ends at once as on a
// pulled cable, without a box, and the handheld is still told "DISCONNECT" on the real port.
TEST(StoppablePortTest, AStopCutsABlockingUploadShortAndTheHandheldIsStillToldToDisconnect) {
    VirtualClock clock;
    DeviceModel device;
    bool stop = false;
    int puts = 0;
    SimulatedPort port(clock, [&](const QByteArray& bytes) {
        if (bytes.startsWith("PUT ") && ++puts == 3)
            stop = true;
        return device.receive(bytes);
    });
    StoppablePort stoppable(port, [&] { return stop; });
    FakeLinkView view;
    ScriptedMessageBoxes boxes;
    TestEventLoop loop(clock);
    Link link(stoppable, view, boxes, clock, clock,
              [&](std::function<void()> call) { loop.post(call); });
    FakeControls controls;
    DataFile dataFile;
    RecordingProgress progress;
    SelectionUpload upload(link, controls, dataFile, progress);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"selections.csv"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    for (int n = 1; n <= 10; ++n)
        file.write("s" + QByteArray::number(n) + ";x\r\n");
    file.close();
    controls.setText(Control::PfadLaden, path);
    port.setPortNumber(1);
    ASSERT_TRUE(stoppable.open().ok);

    const qint64 started = clock.now();
    link.gate().run([&] { upload.start(); });
    EXPECT_LT(clock.now() - started, 1000) << "no attempt waits for an answer after the stop";
    EXPECT_EQ(device.selections(), (QList<QByteArray>{"s1|x", "s2|x", "s3|x"}));
    EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.texts().join(u" | "_s).toStdString();
    const QStringList notes = link.takeLossNotes();
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes.first().contains(u"stopped at selection 3 of 10"_s))
        << notes.first().toStdString();
    EXPECT_FALSE(dataFile.isOpen());

    EXPECT_FALSE(stoppable.isOpen());
    EXPECT_TRUE(port.isOpen()) << "the real port waits for the goodbye";
    EXPECT_TRUE(stoppable.goodbye());
    EXPECT_EQ(port.sentLines().last(), "DISCONNECT");
    EXPECT_FALSE(port.isOpen());
}

// A stop that comes before the line has been quiet for 250 ms says the handheld was still sending
// only when a byte came.
TEST(StoppablePortTest, OnlyAHandheldHeardSendingIsStillSendingWhenAStopComesAtTheOpen) {
    for (const bool sending : {false, true}) {
        VirtualClock clock;
        SimulatedPort port(clock, [](const QByteArray&) { return QByteArray(); });
        port.setPortNumber(1);
        const qint64 opened = clock.now();
        if (sending) {
            for (qint64 at = opened; at < opened + 1000; at += 20)
                port.arriveAt(at, "982 000123456789\r\n");
        }
        StoppablePort stoppable(port, [&] { return clock.now() >= opened + 100; });
        stoppable.awaitQuietOnOpen(60000);
        EXPECT_FALSE(stoppable.open().ok) << sending;
        EXPECT_EQ(stoppable.stillSending(), sending);
    }
}

} // namespace
