#include "exchange/CsvConversion.h"
#include "tests/exchange/ExchangeFixture.h"

using namespace Qt::StringLiterals;

namespace {

class DownloadTest : public ExchangeFixture {
protected:
    DownloadTest() : ExchangeFixture({.records = 3, .capacity = 100, .customCodes = 7}) {}
};

TEST_F(DownloadTest, AllRecordsLandConvertedInTheFileAndTheTransferEndsByItself) {
    h.act([&] { download.start(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"STA", "GET"}));
    h.idle(100);
    QByteArray expected;
    for (const QByteArray& record : DeviceModel::demoRecords(3))
        expected += CsvConversion::recordToFileLine(record) + "\r\n";
    EXPECT_EQ(recordFile(), expected);
    EXPECT_TRUE(expected.contains(' ') && !expected.contains('|'));
    EXPECT_EQ(h.boxes.texts(), QStringList{u"Transfer of records finished."_s});
    EXPECT_EQ(h.boxes.shown().first().icon, MessageBoxes::Icon::Information);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_FALSE(h.dataFile.isOpen());
    EXPECT_EQ(progress.done, 3);
    EXPECT_FALSE(progress.visible);
    EXPECT_FALSE(h.view.log().contains("7|3")) << "the download reads the count reply itself";
}

TEST_F(DownloadTest, EmptyLinesAreSkippedAndALineAfterTheLastIsOnlyLogged) {
    answer({{"GET", "a|1\r\n\r\nb|2\r\n\r\n\r\nc|3\r\nd|4\r\n"}});
    h.act([&] { download.start(); });
    h.idle(100);
    EXPECT_EQ(recordFile(), "a;1\r\nb;2\r\nc;3\r\n");
    EXPECT_TRUE(h.view.log().endsWith("d|4\r\n"));
    EXPECT_EQ(h.boxes.shown().size(), 1);
}

TEST_F(DownloadTest, NoRecordsOrNoAnswerLeaveAnEmptyFileAndSendNoGet) {
    for (const QByteArray& reply : {QByteArray("7|0\r\n"), QByteArray("7|\r\n"), QByteArray()}) {
        answer({{"STA", reply}});
        h.boxes.clear();
        h.port.clearWrites();
        const qint64 started = h.clock.now();
        h.act([&] { download.start(); });
        EXPECT_EQ(h.port.sentLines(), QList<QByteArray>{"STA"});
        EXPECT_EQ(recordFile(), "");
        EXPECT_FALSE(h.dataFile.isOpen());
        ASSERT_EQ(h.boxes.shown().size(), 1);
        EXPECT_EQ(h.boxes.shown().first().icon, MessageBoxes::Icon::Warning);
        if (reply.isEmpty()) {
            EXPECT_TRUE(h.boxes.texts().first().startsWith(u"The handheld did not answer"_s))
                << "silence is not reported as an empty handheld";
            EXPECT_EQ(h.clock.now() - started, 1050) << "the whole wait of 1.05 s";
        } else {
            EXPECT_EQ(h.boxes.texts(), QStringList{u"There are no records present."_s});
            EXPECT_LT(h.clock.now() - started, 50) << "the wait ends with the reply";
        }
    }
}

TEST_F(DownloadTest, ACountTheToolCannotTakeIsQuotedAndDecimalsAreRounded) {
    // 9223372036854775807 becomes 2^63 as a double: one past the largest count.
    for (const QByteArray& reply :
         {QByteArray("0|9223372036854775807"), QByteArray("7|abc"), QByteArray("0|-3")}) {
        answer({{"STA", reply + "\r\n"}});
        h.boxes.clear();
        h.port.clearWrites();
        Outcome outcome = Outcome::Done;
        h.act([&] { outcome = download.start(); });
        EXPECT_EQ(outcome, Outcome::BadAnswer) << reply.constData();
        EXPECT_EQ(h.port.sentLines(), QList<QByteArray>{"STA"});
        ASSERT_EQ(h.boxes.texts().size(), 1);
        EXPECT_TRUE(h.boxes.texts().first().contains(u'"' + QString::fromLatin1(reply) + u'"'))
            << h.boxes.texts().first().toStdString();
    }
    // A number with decimals is taken as the nearest whole number, a half to the even one.
    answer({{"STA", "0|2.5\r\n"}, {"GET", {}}});
    h.act([&] { download.start(); });
    EXPECT_EQ(download.announced(), 2);
    EXPECT_EQ(h.port.sentLines().last(), "GET");
}

TEST_F(DownloadTest, ACountReplyInPiecesIsReadWhole) {
    h.device.setRecords(DeviceModel::demoRecords(40000)); // past any 16-bit counter
    h.port.setDevice([&](const QByteArray& bytes) -> QByteArray {
        if (bytes != "STA\r")
            return h.device.receive(bytes);
        const qint64 now = h.clock.now();
        h.port.arriveAt(now + 5, "7|");
        h.port.arriveAt(now + 35, "40");
        h.port.arriveAt(now + 65, "000\r");
        h.port.arriveAt(now + 95, "\n");
        return {};
    });
    h.act([&] { download.start(); });
    EXPECT_EQ(download.announced(), 40000);
    h.idle(1000);
    EXPECT_EQ(recordFile().count("\r\n"), 40000);
    EXPECT_EQ(h.boxes.texts(), QStringList{u"Transfer of records finished."_s});

    // A handheld that answers with the number of records alone, behind a record-shaped line and
    // a late barcode; and one with the bar, behind a late barcode.
    for (const QByteArray& reply : {QByteArray("3|0000ABCD|x\r\n5901234123457\r\n12\r\n"),
                                    QByteArray("5901234123457\r\n0|12\r\n")}) {
        answer({{"STA", reply}, {"GET", {}}});
        h.act([&] { download.start(); });
        EXPECT_EQ(download.announced(), 12) << reply.constData();
        EXPECT_EQ(h.port.sentLines().last(), "GET");
    }
}

TEST_F(DownloadTest, RecordsTricklingInAtTheLinesPaceAreTakenInOncePerFrameAndNoneWaitsLonger) {
    // 38400 baud bring a piece of 32 bytes every 8 ms; while records stream in, a frame of the
    // window comes 100 ms after the one before.
    constexpr int kPieceBytes = 32;
    constexpr qsizetype kFrameBytes = (FramePacer::kStreamFrameMs / 8 + 1) * kPieceBytes;
    h.device.setRecords(DeviceModel::demoRecords(60));
    h.port.setPieces(kPieceBytes, 8);
    h.act([&] { download.start(); });
    const int appendsBefore = h.view.repaints();
    const qint64 startedMs = h.clock.now();
    qsizetype longestWait = 0;
    for (int ms = 0; ms < 3000 && h.link.replyMode() == ReplyMode::RecordDownload; ++ms) {
        h.idle(1);
        longestWait = std::max(longestWait, h.port.pendingInput().size());
        // What the window has handled is on the disk whenever it turns.
        if (download.transferring()) {
            ASSERT_EQ(recordFile().count('\n'), download.received()) << "after " << ms << " ms";
        }
    }
    const qint64 frames = (h.clock.now() - startedMs) / FramePacer::kStreamFrameMs + 1;
    QByteArray expected;
    for (const QByteArray& record : DeviceModel::demoRecords(60))
        expected += CsvConversion::recordToFileLine(record) + "\r\n";
    EXPECT_EQ(recordFile(), expected);
    EXPECT_EQ(h.boxes.texts(), QStringList{u"Transfer of records finished."_s});
    EXPECT_LE(longestWait, kFrameBytes) << "input waited longer than a frame";
    // The first record comes with a notification of its own and asks for a frame at the pace of
    // the window, before anything streams.
    EXPECT_LE(h.view.repaints() - appendsBefore, frames + 2)
        << "the receive handler ran more often than once per frame";

    // Once the transfer has ended nothing is held: a line is handled as it arrives.
    EXPECT_FALSE(h.port.receiveHeld());
    h.port.arrive("late\r\n");
    EXPECT_TRUE(h.view.log().endsWith("late\r\n"));
}

TEST_F(DownloadTest, ARecordTransferThatStallsEndsAfterTenSecondsWithWhatArrived) {
    // The first record may take 30 s; after it, 10 s count from the latest byte.
    answer({{"STA", "0|5\r\n"}, {"GET", {}}});
    h.act([&] { download.start(); });
    h.port.arriveAt(h.clock.now() + 25000, "a|1\r\n");
    h.idle(31000);
    h.port.arrive("b|2\r\n");
    h.idle(5000);
    h.port.arrive("c|"); // a record begun
    h.idle(9400);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::RecordDownload);
    EXPECT_EQ(recordFile(), "a;1\r\nb;2\r\n") << "each record is in the file as it arrives";
    EXPECT_TRUE(h.boxes.shown().isEmpty());
    h.idle(1200);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_FALSE(h.dataFile.isOpen());
    EXPECT_FALSE(progress.visible);
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"2 of the 5"_s))
        << h.boxes.texts().first().toStdString();
    h.port.arrive("late|3\r\n");
    h.idle(10);
    EXPECT_EQ(recordFile(), "a;1\r\nb;2\r\n");
}

TEST_F(DownloadTest, TimeSpentInAMessageBoxIsNoSilenceOfTheHandheld) {
    // Records every 2 s; the operator leaves a box open for 12 s in the middle of them.
    answer({{"STA", "0|5\r\n"}, {"GET", QByteArray()}});
    h.act([&] { download.start(); });
    for (int n = 1; n <= 5; ++n)
        h.port.arriveAt(h.clock.now() + 2000 * n, "r|" + QByteArray::number(n) + "\r\n");
    h.idle(2500);
    h.boxes.whileOpen([&] { h.clock.advanceTo(h.clock.now() + 12000); });
    // "Statistic" pressed during the transfer: refused with a box, nothing sent.
    h.act([&] { h.controls.press(Control::Statistik); });
    h.boxes.whileOpen({});
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"STA", "GET"}));
    h.idle(1000);
    EXPECT_EQ(recordFile(), "r;1\r\nr;2\r\nr;3\r\nr;4\r\nr;5\r\n");
    ASSERT_EQ(h.boxes.texts().size(), 2);
    EXPECT_EQ(h.boxes.shown().first().title, u"Record download running"_s);
    EXPECT_EQ(h.boxes.texts().last(), u"Transfer of records finished."_s);
}

TEST_F(DownloadTest, ACablePulledWhileTheCountIsAwaitedOrABoxIsOpenGivesOneMessage) {
    answer({{"STA", QByteArray()}});
    h.clock.schedule(h.clock.now() + 300, [&] { h.port.pull(); });
    h.act([&] { download.start(); });
    h.idle(100);
    ASSERT_EQ(h.boxes.shown().size(), 1) << h.boxes.texts().join(u" | "_s).toStdString();
    EXPECT_EQ(h.boxes.shown().first().title, u"Connection lost"_s);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"No records were requested."_s));

    // A download runs; the operator opens a box, and the cable is pulled before it is closed.
    const auto pulledInABox = [&](const QMap<QByteArray, QByteArray>& replies,
                                  const std::function<void()>& whileOpen) {
        h.boxes.clear();
        h.connect();
        answer(replies);
        h.act([&] { download.start(); });
        h.idle(100);
        h.boxes.whileOpen([&] {
            whileOpen();
            h.port.pull();
        });
        h.act([&] { download.refuseWhileTransferring(); });
        h.boxes.whileOpen({});
        h.idle(1000);
        return h.boxes.texts().join(u" | "_s);
    };
    // The handheld pauses and the box stays open 12 s: the timer's ticks that waited for the
    // box find a lost port, no silent handheld.
    QString told = pulledInABox({{"STA", "0|5\r\n"}, {"GET", "a|1\r\n"}},
                                [&] { h.clock.advanceTo(h.clock.now() + 12000); });
    ASSERT_EQ(h.boxes.shown().size(), 2) << told.toStdString();
    EXPECT_EQ(h.boxes.shown().last().title, u"Connection lost"_s);
    EXPECT_TRUE(h.boxes.texts().last().contains(u"after 1 of 5 records"_s));

    // A backlog far larger than one read has arrived: all of it is written before the operator
    // is told.
    QByteArray backlog;
    for (int n = 1; n <= 6000; ++n)
        backlog += "r|" + QByteArray::number(n) + "\r\n";
    told = pulledInABox({{"STA", "0|9000\r\n"}, {"GET", QByteArray()}},
                        [&] { h.port.arrive(backlog); });
    EXPECT_EQ(recordFile().count("\r\n"), 6000);
    EXPECT_TRUE(told.contains(u"after 6000 of 9000 records"_s)) << told.toStdString();
}

TEST_F(DownloadTest, DisconnectOrARestartEndsTheRunningTransfer) {
    answer({{"STA", "0|5\r\n"}, {"GET", "a|1\r\nb|2\r\n"}});
    h.act([&] { download.start(); });
    h.idle(100);
    // A restart whose count is 0 must not leave the old transfer's mode behind.
    answer({{"STA", "0|0\r\n"}});
    h.act([&] { download.start(); });
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_FALSE(download.transferring());

    answer({{"STA", "0|5\r\n"}, {"GET", "a|1\r\nb|2\r\n"}});
    h.boxes.clear();
    h.act([&] { download.start(); });
    h.idle(100);
    h.clickConnect();
    h.idle(600);
    EXPECT_EQ(recordFile(), "a;1\r\nb;2\r\n");
    EXPECT_FALSE(download.transferring());
    EXPECT_FALSE(progress.visible);
    EXPECT_TRUE(h.boxes.shown().isEmpty()) << "a disconnect ends a transfer without a word";

    // Also when the operator connects again before the window's timer has ticked.
    h.connect();
    h.act([&] { download.start(); });
    h.idle(100);
    h.clickConnect();
    h.clickConnect();
    h.idle(5000);
    EXPECT_TRUE(h.controls.isChecked(Control::Connect));
    EXPECT_FALSE(download.transferring());
    EXPECT_TRUE(h.boxes.shown().isEmpty()) << h.boxes.texts().join(u" | "_s).toStdString();
}

TEST_F(DownloadTest, AFileThatCannotBeWrittenStopsTheTransferOnce) {
    h.controls.setText(Control::PfadSpeichern, dir.filePath(u"missing/r.csv"_s));
    h.act([&] { download.start(); });
    EXPECT_TRUE(h.port.written().isEmpty());
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"missing/r.csv"_s));

    h.boxes.clear();
    h.controls.setText(Control::PfadSpeichern, u"/dev/full"_s);
    h.act([&] { download.start(); });
    h.idle(100);
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"Record 1 of 3 could not be saved"_s));
    EXPECT_TRUE(h.boxes.texts().first().contains(u"No space left"_s));
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_FALSE(h.dataFile.isOpen());
}

TEST_F(DownloadTest, AnUploadThatTakesTheFileEndsTheTransferWithOneWarning) {
    answer({{"STA", "0|5\r\n"}, {"GET", "a|1\r\n"}});
    writeSelections("x\r\n");
    h.act([&] { download.start(); });
    h.idle(100);
    h.act([&] { upload.start(); });
    h.port.arrive("b|2\r\nc|3\r\n");
    h.idle(1000);
    EXPECT_EQ(h.link.replyMode(), ReplyMode::Idle);
    EXPECT_EQ(recordFile(), "a;1\r\n");
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"after 1 of 5"_s));
}

class UploadTest : public ExchangeFixture {
protected:
    UploadTest() : ExchangeFixture({.records = 0, .capacity = 3, .customCodes = 0}) {}
};

TEST_F(UploadTest, EachLineIsSentOnceWhenAcknowledgedAndTheLogShowsTheLastReport) {
    writeSelections("4711;Smith;A\r\n;\r\"x\",y");
    h.port.setPieces(1, 30); // "O", "k", CR and LF arrive 30 ms apart
    h.act([&] { upload.start(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"PUT 4711|Smith|A", "PUT |", "PUT \"x\",y"}));
    EXPECT_EQ(h.device.selections(), (QList<QByteArray>{"4711|Smith|A", "|", "\"x\",y"}));
    EXPECT_EQ(h.view.log(), "Dataset  3 - Ok\r\n");
    EXPECT_TRUE(h.boxes.shown().isEmpty());
    EXPECT_FALSE(h.dataFile.isOpen());
    EXPECT_EQ(progress.done, 3);
    EXPECT_EQ(progress.total, 3);
    EXPECT_FALSE(progress.visible);

    // A field with a line break in a file with CR LF ends: that selection is not sent cut, and
    // the operator is told; an LF CR pair sends no empty selection.
    h.device.setSelections({});
    h.port.clearWrites();
    writeSelections("a;x\ny\r\nb\n\rc\r\n");
    h.act([&] { upload.start(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"PUT c"}));
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"Not sent: 1, 2."_s))
        << h.boxes.texts().first().toStdString();
}

TEST_F(UploadTest, UnacknowledgedLinesAreRetriedFiveTimesAndNamedAtTheEnd) {
    writeSelections("a\r\nb\r\nc\r\nd\r\n");
    answer({{"PUT a", ""}, {"PUT b", "OK\r\n"}, {"PUT c", " Ok\r\n"}});
    const qint64 started = h.clock.now();
    h.act([&] { upload.start(); });
    EXPECT_EQ(h.port.sentLines().size(), 5 + 5 + 5 + 1);
    // A line never answered costs five times 5 ms and 41 waits of 50 ms.
    const QList<SimulatedPort::Write>& writes = h.port.writes();
    EXPECT_EQ(writes.at(5).at - started, 5 * (5 + 2050) + 5);
    EXPECT_EQ(h.view.log(), "Dataset  4 - Ok\r\n");
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_EQ(h.boxes.shown().first().icon, MessageBoxes::Icon::Warning);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"3 of the 4"_s));
    EXPECT_TRUE(h.boxes.texts().first().contains(u"1, 2, 3."_s));
}

TEST_F(UploadTest, ALateAcknowledgementIsNotAnsweredByASecondSend) {
    writeSelections("a\r\nb\r\n");
    h.port.setLatency(2052); // after the last of the 41 waits, before the next send
    h.act([&] { upload.start(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"PUT a", "PUT b"}));
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

TEST_F(UploadTest, AnAcknowledgementBehindAnotherLineCountsAndNothingIsSentTwice) {
    writeSelections("a\r\nb\r\n");
    // The handheld first finishes a line of its own, then acknowledges in a later read.
    h.port.setDevice([this](const QByteArray& bytes) -> QByteArray {
        h.port.arriveAt(h.clock.now() + 120, h.device.receive(bytes));
        return "Busy\r\n";
    });
    h.act([&] { upload.start(); });
    EXPECT_EQ(h.port.sentLines(), (QList<QByteArray>{"PUT a", "PUT b"}));
    EXPECT_EQ(h.device.selections(), (QList<QByteArray>{"a", "b"}));
    EXPECT_EQ(h.view.log(), "Dataset  2 - Ok\r\n");
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

TEST_F(UploadTest, MemoryFullStopsTheUploadAndNamesTheSelectionNotStored) {
    writeSelections("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n");
    h.act([&] { upload.start(); });
    EXPECT_EQ(h.port.sentLines().size(), 4);
    EXPECT_EQ(h.view.log(), "Dataset  3 - Ok\r\n");
    EXPECT_FALSE(h.dataFile.isOpen());
    ASSERT_EQ(h.boxes.shown().size(), 1);
    EXPECT_TRUE(h.boxes.texts().first().contains(u"Selection 4 (line 4 of 6) was not stored"_s));
}

TEST_F(UploadTest, MoreThan32767LinesAreCountedOn) {
    h.device.setCapacity(40000);
    QByteArray lines;
    for (int n = 1; n <= 40000; ++n)
        lines += QByteArray::number(n) + "\r\n";
    writeSelections(lines);
    h.act([&] { upload.start(); });
    EXPECT_EQ(h.device.selections().size(), 40000);
    EXPECT_EQ(h.view.log(), "Dataset  40000 - Ok\r\n");
    EXPECT_TRUE(h.boxes.shown().isEmpty());
}

} // namespace
