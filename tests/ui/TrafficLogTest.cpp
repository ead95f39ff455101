#include "ui/TrafficLog.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

TEST(TrafficLog, EveryLineEndShowsAsOneBreakAndTheBytesAreKept) {
    TrafficLog log;
    log.appendLog("A\r\nB\rC\nD\n\rE");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("A\nB\nC\nD\n\nE"));
    // A pair split over two receive events is still one break.
    log.appendLog("F\r");
    log.appendLog("\nG");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("A\nB\nC\nD\n\nEF\nG"));
    EXPECT_EQ(log.text(), QByteArray("A\r\nB\rC\nD\n\rEF\r\nG"));
    EXPECT_TRUE(log.textCursor().atEnd());
}

TEST(TrafficLog, NulAndHighBytesShowAsCharacters) {
    TrafficLog log;
    const QByteArray bytes("\0ID\xE9\xFF", 5);
    log.appendLog(bytes);
    EXPECT_EQ(log.toPlainText(), QStringLiteral("\u2400ID\u00E9\u00FF"));
    EXPECT_EQ(log.text(), bytes);
}

TEST(TrafficLog, ReplaceAndClearStartAfresh) {
    TrafficLog log;
    log.appendLog("old\r");
    log.replaceLog("connecting...\r\n");
    EXPECT_EQ(log.text(), QByteArray("connecting...\r\n"));
    EXPECT_EQ(log.toPlainText(), QStringLiteral("connecting...\n"));
    log.appendLog("x\r");
    log.clearLog();
    EXPECT_EQ(log.text(), QByteArray());
    EXPECT_EQ(log.toPlainText(), QString());
    // The CR before the clear is gone with it: this LF is a break of its own.
    log.appendLog("\nOk");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("\nOk"));
}

TEST(TrafficLog, ZeileShowsTheLastLine) {
    TrafficLog log;
    QLineEdit zeile;
    log.setZeile("ignored without a field");
    log.setZeileField(&zeile);
    log.setZeile(QByteArray("\0SNR:AE1\xE9", 9));
    EXPECT_EQ(zeile.text(), QString::fromLatin1(QByteArray("\0SNR:AE1\xE9", 9)));
}

TEST(TrafficLog, AppendingCostsNoMoreWhenTheLogIsLong) {
    TrafficLog log;
    log.resize(400, 200);
    log.show();
    const QByteArray record = "12|4711|01.02.2015,12:30|0123456789ABCDEF\r\n";
    log.appendLog(record.repeated(40000)); // about 1.7 MB, 40000 lines
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 2000; ++i)
        log.appendLog(record);
    // Rebuilding the whole text on each append would take minutes here.
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(log.text().size(), record.size() * 42000);
    EXPECT_EQ(log.document()->blockCount(), 40000) << "the oldest lines are dropped";
    EXPECT_TRUE(
        log.document()->lastBlock().previous().text().startsWith(QStringLiteral("12|4711")));
}

TEST(TrafficLog, AMegabyteWithoutLineEndStaysQuickAndKeepsEveryByte) {
    TrafficLog log;
    log.resize(400, 200);
    log.show();
    const QByteArray piece(32, 'x');
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < (1 << 20) / 32; ++i)
        log.appendLog(piece);
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(log.text().size(), 1 << 20);
    EXPECT_LE(log.document()->lastBlock().text().size(), 512) << "shown in pieces";
}

} // namespace
