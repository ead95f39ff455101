#include "tests/link/LinkFixture.h"

#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {

using ReceiveHandlerTest = LinkFixture;

TEST_F(ReceiveHandlerTest, LineArrivingInPiecesIsHandledOnceWhole) {
    link.setReplyMode(ReplyMode::IdRead);
    arrive("VERS");
    EXPECT_EQ(view.log(), "VERS");
    EXPECT_EQ(view.zeileChanges(), 0);
    EXPECT_TRUE(handlers.ids.isEmpty());

    arrive("ION:2.31\r");
    EXPECT_TRUE(handlers.ids.isEmpty()) << "a CR alone does not end a line";
    arrive("\n");
    EXPECT_EQ(handlers.ids, QList<QByteArray>{"VERSION:2.31"});
    EXPECT_EQ(view.zeile(), "VERSION:2.31");
    EXPECT_EQ(view.log(), "VERSION:2.31\r\n");
}

TEST_F(ReceiveHandlerTest, LinesOfOneEventAreHandledInOrderAndEmptyLinesDropped) {
    link.setReplyMode(ReplyMode::RecordDownload);
    arrive("one\r\ntwo\r\n\r\nthree\r\n\r\n");
    EXPECT_EQ(handlers.records, (QList<QByteArray>{"one", "two", "three"}));
    EXPECT_EQ(view.zeile(), "three");
    EXPECT_EQ(view.zeileChanges(), 3);
}

TEST_F(ReceiveHandlerTest, OnlyCrLfEndsALine) {
    link.setReplyMode(ReplyMode::RecordDownload);
    arrive("A\rB\r\n");
    EXPECT_EQ(handlers.records, QList<QByteArray>{"A\rB"});

    arrive("C\n\r");
    EXPECT_EQ(handlers.records.size(), 1) << "LF CR is no line end";
    arrive("\n");
    EXPECT_EQ(handlers.records.last(), "C\n");
    EXPECT_EQ(link.receiveBuffer().pendingSize(), 0);
}

TEST_F(ReceiveHandlerTest, NulAndEightBitBytesPassThrough) {
    link.setReplyMode(ReplyMode::RecordDownload);
    const QByteArray line("\0\xff\xe4|x\x80"_ba);
    arrive(line + "\r\n");
    EXPECT_EQ(handlers.records, QList<QByteArray>{line});
    EXPECT_EQ(view.log(), line + "\r\n");
}

TEST_F(ReceiveHandlerTest, IdleLinesReachOnlyLogAndZeile) {
    arrive("VERSION:2.31\r\n");
    EXPECT_TRUE(handlers.ids.isEmpty());
    EXPECT_TRUE(handlers.records.isEmpty());
    EXPECT_TRUE(handlers.statusLines.isEmpty());
    EXPECT_EQ(view.zeile(), "VERSION:2.31");
}

TEST_F(ReceiveHandlerTest, IncompleteLineWaitsAcrossReconnect) {
    link.setReplyMode(ReplyMode::IdRead);
    arrive("98200");
    port.close();
    port.open();
    arrive("0123\r\n");
    EXPECT_EQ(handlers.ids, QList<QByteArray>{"982000123"});
}

TEST_F(ReceiveHandlerTest, AfterAFailureTheLinesLeftAreHandledAtOnceUnderTheModeItLeft) {
    link.setReplyMode(ReplyMode::RecordDownload);
    handlers.failOn = "bad";
    // The failing handler ends its transfer, as a download does when its file cannot be written.
    boxes.whileOpen([&] { link.setReplyMode(ReplyMode::Idle); });
    arrive("first\r\nbad\r\nlater\r\n");
    EXPECT_EQ(handlers.records, QList<QByteArray>{"first"});
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown().first().text, u"Overflow"_s);
    EXPECT_EQ(boxes.shown().first().title, u"QuorvelinoTool"_s);
    EXPECT_EQ(view.zeile(), "later") << "handled without waiting for the handheld's next bytes";

    // The next transfer gets only its own lines.
    link.setReplyMode(ReplyMode::RecordDownload);
    arrive("next\r\n");
    EXPECT_EQ(handlers.records, (QList<QByteArray>{"first", "next"}));
}

TEST_F(ReceiveHandlerTest, LinesLongerThanSixteenBitPositionsArriveWhole) {
    link.setReplyMode(ReplyMode::RecordDownload);
    const QByteArray longLine(100000, 'x');
    for (int i = 0; i < longLine.size(); i += 7000)
        arrive(longLine.mid(i, 7000));
    arrive("\r\nnext\r\n");
    ASSERT_EQ(handlers.records.size(), 2);
    EXPECT_EQ(handlers.records.first(), longLine);
    EXPECT_EQ(handlers.records.last(), "next");
    EXPECT_EQ(view.log().size(), longLine.size() + 8);
}

TEST_F(ReceiveHandlerTest, AMegabyteWithoutLineEndInSmallPiecesStaysLinear) {
    link.setReplyMode(ReplyMode::RecordDownload);
    const QByteArray piece(32, 'y');
    for (int i = 0; i < (1 << 20) / piece.size(); ++i)
        arrive(piece);
    EXPECT_EQ(link.receiveBuffer().pendingSize(), 1 << 20);
    arrive("\r\n");
    ASSERT_EQ(handlers.records.size(), 1);
    EXPECT_EQ(handlers.records.first().size(), 1 << 20);
    // Each byte is looked at about once: a search that started again at the line's start for
    // every piece would look at 16 GiB here.
    EXPECT_LE(link.receiveBuffer().scannedBytes(), 2 * ((1 << 20) + 2));
}

// Any byte stream, cut into receive events anywhere, gives the same lines and the same log text
// as when it arrives in one piece.
TEST_F(ReceiveHandlerTest, CuttingTheStreamAnywhereChangesNothing) {
    QRandomGenerator random(20261207);
    const char alphabet[] = {'\r', '\n', 'a', 'Z', '\0', '|', '\xe9', ' '};
    for (int round = 0; round < 200; ++round) {
        QByteArray stream;
        const int length = static_cast<int>(random.bounded(300));
        for (int i = 0; i < length; ++i)
            stream.append(alphabet[random.bounded(static_cast<int>(sizeof alphabet))]);

        auto feed = [&](const QList<QByteArray>& pieces) {
            VirtualClock c;
            SimulatedPort p(c, nullptr);
            p.open();
            FakeLinkView v;
            ScriptedMessageBoxes b;
            TestEventLoop l(c);
            Link k(p, v, b, c, c, [&](std::function<void()> call) { l.post(call); });
            RecordingHandlers h;
            k.dispatcher().attach(static_cast<RecordLineHandler*>(&h));
            k.setReplyMode(ReplyMode::RecordDownload);
            for (const QByteArray& piece : pieces) {
                p.arrive(piece);
                l.runPosted();
            }
            return std::make_tuple(h.records, v.log(), k.receiveBuffer().pending());
        };

        QList<QByteArray> pieces;
        for (int at = 0; at < stream.size();) {
            const int n = 1 + static_cast<int>(random.bounded(12));
            pieces.append(stream.mid(at, n));
            at += n;
        }
        EXPECT_EQ(feed(pieces), feed({stream})) << "stream " << stream.toHex().constData();
    }
}

// A line that grows past the limit is handed on in pieces of the limit's length, so the buffer
// never holds more; where the pieces fall depends only on the bytes, not on how they arrived.
TEST(ReceiveBufferLimit, PiecesFallAtTheSamePlacesHoweverTheStreamIsCut) {
    QRandomGenerator random(7301);
    const char alphabet[] = {'\r', '\n', 'a', '\0'};
    for (int round = 0; round < 500; ++round) {
        const qsizetype limit = 1 + random.bounded(6);
        QByteArray stream;
        const int length = static_cast<int>(random.bounded(60));
        for (int i = 0; i < length; ++i)
            stream.append(alphabet[random.bounded(static_cast<int>(sizeof alphabet))]);

        auto cut = [&](const QList<QByteArray>& pieces) {
            ReceiveBuffer buffer(limit);
            QList<QByteArray> lines;
            for (const QByteArray& piece : pieces) {
                buffer.append(piece);
                while (const auto line = buffer.takeLine())
                    lines.append(*line);
                EXPECT_LE(buffer.pendingSize(), limit);
            }
            return std::make_pair(lines, buffer.pending());
        };
        QList<QByteArray> bytes;
        for (const char c : stream)
            bytes.append(QByteArray(1, c));
        const auto whole = cut({stream});
        EXPECT_EQ(cut(bytes), whole) << "limit " << limit << ", stream " << stream.toHex().data();
        for (const QByteArray& line : whole.first)
            EXPECT_LE(line.size(), limit);
    }
}

TEST_F(ReceiveHandlerTest, AFloodWithoutLineEndsIsHeldToOneMegabyteAndTheNextLineStillCounts) {
    link.setReplyMode(ReplyMode::RecordDownload);
    const qsizetype limit = ReceiveBuffer::kMaxLineBytes;
    const QByteArray piece(64 * 1024, 'z');
    for (int i = 0; i < 3 * 16; ++i) {
        arrive(piece);
        ASSERT_LE(link.receiveBuffer().pendingSize(), limit);
    }
    EXPECT_EQ(handlers.records.size(), 2);
    arrive("\r\nOk\r\n");
    ASSERT_EQ(handlers.records.size(), 4);
    EXPECT_EQ(handlers.records.at(2).size(), limit);
    EXPECT_EQ(handlers.records.at(3), "Ok");
    EXPECT_EQ(link.receiveBuffer().pendingSize(), 0);
}

TEST_F(ReceiveHandlerTest, ACommandGoesOutAsOneLineWithOneByteForEachCharacter) {
    // A pasted line break would make a second command of what follows it.
    EXPECT_TRUE(link.sendLine("DISPLAY 1 \"Hello\r\nDEL E\""));
    EXPECT_TRUE(link.sendLine("BEEP\nDEL T"));
    EXPECT_EQ(port.written(), "DISPLAY 1 \"Hello\rBEEP\r");
    // An emoji takes two UTF-16 units but is one character.
    EXPECT_EQ(Link::toWire(u"a\U0001F600\u00e9\u20acb"_s), "a?\xe9?b");
}

} // namespace
