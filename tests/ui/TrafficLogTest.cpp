#include "ui/TrafficLog.h"

#include "tests/support/PaintCount.h"
#include "tests/ui/LogWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// What the screen shows of a widget's window: the pixels painted so far, not a fresh rendering.
QImage onScreen(QWidget& widget) {
    return widget.screen()->grabWindow(widget.winId()).toImage();
}

TEST(TrafficLog, OnlyCrLfBreaksALineAndTheBytesAreKept) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.appendLog("A\r\nB\rC\nD\n\rE");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("A\nB\u240DC\u240AD\u240A\u240DE"));
    // A pair split over two receive events is still one break.
    log.appendLog("F\r");
    log.appendLog("\nG");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("A\nB\u240DC\u240AD\u240A\u240DEF\nG"));
    EXPECT_EQ(log.text(), QByteArray("A\r\nB\rC\nD\n\rEF\r\nG"));
}

TEST(TrafficLog, ALoneCrALoneLfAndNulAreDrawnVisiblyAndApart) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.resize(300, 120);
    log.show();
    log.appendLog(QByteArray("A\rB\r\nA\nB\r\nA\0B\r\nA B\r\n", 20));
    paced.pacer.showNow();
    const QImage shown = log.viewport()->grab().toImage();
    const QFontMetrics metrics(log.font());
    const int column = metrics.horizontalAdvance(QLatin1Char('M'));
    // The second column of each line: CR, LF, NUL, and a blank.
    QList<QImage> cells;
    for (int row = 0; row < 4; ++row)
        cells << shown.copy(4 + column, 4 + row * metrics.lineSpacing(), column,
                            metrics.lineSpacing());
    for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(cells.at(a), cells.at(b)) << "lines " << a << " and " << b << " look alike";
    }
}

TEST(TrafficLog, NulAndHighBytesShowAsCharacters) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    const QByteArray bytes("\0ID\xE9\xFF", 5);
    log.appendLog(bytes);
    EXPECT_EQ(log.toPlainText(), QStringLiteral("\u2400ID\u00E9\u00FF"));
    EXPECT_EQ(log.text(), bytes);
}

TEST(TrafficLog, ReplaceAndClearStartAfresh) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.appendLog("old\r");
    log.replaceLog("connecting...\r\n");
    EXPECT_EQ(log.text(), QByteArray("connecting...\r\n"));
    EXPECT_EQ(log.toPlainText(), QStringLiteral("connecting...\n"));
    log.appendLog("x\r");
    log.clearLog();
    EXPECT_EQ(log.text(), QByteArray());
    EXPECT_EQ(log.toPlainText(), QString());
    // The CR before the clear is gone with it: this LF is a lone one.
    log.appendLog("\nOk");
    EXPECT_EQ(log.toPlainText(), QStringLiteral("\u240AOk"));
}

TEST(TrafficLog, ZeileShowsTheLastLine) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    QLineEdit zeile;
    log.setZeile("ignored without a field");
    log.setZeileField(&zeile);
    log.setZeile(QByteArray("\0SNR:AE1\xE9", 9));
    paced.pacer.showNow();
    EXPECT_EQ(zeile.text(), QString::fromLatin1(QByteArray("\0SNR:AE1\xE9", 9)));
}

TEST(TrafficLog, TheOperatorSelectsAndCopiesButCannotType) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.resize(420, 140);
    log.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
    log.appendLog("TAGTYP:1\r\nOFF:30\r\n");
    QTest::keyClicks(&log, QStringLiteral("abc\r"));
    EXPECT_EQ(log.toPlainText(), QStringLiteral("TAGTYP:1\nOFF:30\n"));

    // A drag from the start of the first line to the fourth character of the second.
    const QFontMetrics metrics(log.font());
    const int row = metrics.lineSpacing();
    const int column = metrics.horizontalAdvance(QLatin1Char('M'));
    const QPoint start(5, 4 + row / 2);
    const QPoint end(4 + 3 * column, 4 + row + row / 2);
    QTest::mousePress(log.viewport(), Qt::LeftButton, {}, start);
    QTest::mouseMove(log.viewport(), end);
    QTest::mouseRelease(log.viewport(), Qt::LeftButton, {}, end);
    EXPECT_EQ(log.selectedText(), QStringLiteral("TAGTYP:1\nOFF"));
    QTest::keySequence(&log, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("TAGTYP:1\nOFF"));
    QTest::keySequence(&log, QKeySequence::SelectAll);
    EXPECT_EQ(log.selectedText(), log.toPlainText());
    log.clearLog();
    EXPECT_EQ(log.selectedText(), QString());

    // Assistive technology reads what the log shows.
    log.appendLog("SNR:AE012345\r\n");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&log);
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("SNR:AE012345\n"));
    EXPECT_TRUE(accessible->state().readOnly);
}

// What assistive technology hears of the log: its text rebuilt from the insert and remove events
// alone, and how many events came.
struct Listener {
    static inline const QObject* log = nullptr;
    static inline QString heard;
    static inline int inserts = 0;
    static inline bool removedWhatWasThere = true;

    static void hear(QAccessibleEvent* event) {
        if (event->object() != log)
            return;
        if (event->type() == QAccessible::TextInserted) {
            const auto* inserted = static_cast<QAccessibleTextInsertEvent*>(event);
            heard.insert(inserted->changePosition(), inserted->textInserted());
            ++inserts;
        } else if (event->type() == QAccessible::TextRemoved) {
            const auto* removed = static_cast<QAccessibleTextRemoveEvent*>(event);
            const QString& text = removed->textRemoved();
            removedWhatWasThere =
                removedWhatWasThere && heard.mid(removed->changePosition(), text.size()) == text;
            heard.remove(removed->changePosition(), text.size());
        }
    }
};

TEST(TrafficLog, AssistiveTechnologyReadsTheTextByCharacterWordAndLine) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.resize(420, 140);
    log.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&log));
    log.appendLog("TAGTYP:1\r\nOFF:30  s\rX\r\nVERS");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&log);
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Traffic log"));
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_TRUE(text);
    const QString shown = QStringLiteral("TAGTYP:1\nOFF:30  s\u240DX\nVERS");
    const int length = static_cast<int>(shown.size());
    ASSERT_EQ(text->text(0, text->characterCount()), shown);
    EXPECT_EQ(text->cursorPosition(), shown.size());

    int start = -1;
    int end = -1;
    const struct {
        int offset;
        QAccessible::TextBoundaryType boundary;
        int at; // -1: before, 0: at, 1: after
        const char16_t* expected;
    } reads[] = {
        {1, QAccessible::CharBoundary, 0, u"A"},
        {1, QAccessible::CharBoundary, -1, u"T"},
        {8, QAccessible::CharBoundary, 0, u"\n"},
        {11, QAccessible::WordBoundary, 0, u"OFF:30"},
        {15, QAccessible::WordBoundary, 0, u"  "},
        {15, QAccessible::WordBoundary, 1, u"s\u240DX"},
        {15, QAccessible::WordBoundary, -1, u"OFF:30"},
        {8, QAccessible::WordBoundary, 0, u"\n"},
        {12, QAccessible::LineBoundary, 0, u"OFF:30  s\u240DX\n"},
        {12, QAccessible::LineBoundary, -1, u"TAGTYP:1\n"},
        {12, QAccessible::LineBoundary, 1, u"VERS"},
        {length, QAccessible::LineBoundary, 0, u"VERS"},
        {0, QAccessible::LineBoundary, -1, u""},
        {length, QAccessible::CharBoundary, 0, u""},
    };
    for (const auto& read : reads) {
        const QString got =
            read.at == 0  ? text->textAtOffset(read.offset, read.boundary, &start, &end)
            : read.at < 0 ? text->textBeforeOffset(read.offset, read.boundary, &start, &end)
                          : text->textAfterOffset(read.offset, read.boundary, &start, &end);
        EXPECT_EQ(got, QString::fromUtf16(read.expected)) << read.offset << " " << read.at;
        if (!got.isEmpty()) {
            EXPECT_EQ(shown.mid(start, end - start), got) << read.offset << " " << read.at;
        }
    }

    // A selection made by assistive technology is the operator's selection, and back.
    text->setSelection(0, 9, 15);
    EXPECT_EQ(log.selectedText(), QStringLiteral("OFF:30"));
    log.selectAll();
    text->selection(0, &start, &end);
    EXPECT_EQ(text->selectionCount(), 1);
    EXPECT_EQ(std::pair(start, end), std::pair(0, length));
    text->removeSelection(0);
    EXPECT_EQ(text->selectionCount(), 0);

    // Where a character shows, and which character shows there.
    const QRect v = text->characterRect(10);
    EXPECT_EQ(text->offsetAtPoint(v.center()), 10);
    EXPECT_EQ(text->offsetAtPoint(log.viewport()->mapToGlobal(QPoint(-5, -5))), -1);
}

TEST(TrafficLog, AssistiveTechnologyHearsOfChangesAtABoundedRate) {
    LogWindow paced({[] { return true; }, &Listener::hear});
    TrafficLog& log = paced.log;
    log.resize(420, 140);
    log.show();
    Listener::log = &log;
    const QAccessibleTextInterface* text =
        QAccessible::queryAccessibleInterface(&log)->textInterface();
    const auto heardAll = [&] {
        QTest::qWait(LogAnnouncer::kEveryMs + 50);
        return Listener::heard == text->text(0, text->characterCount());
    };

    QRandomGenerator random(4711);
    for (int round = 0; round < 6; ++round) {
        // A burst of pieces, CRs and LFs among them, told in a few events at most.
        QElapsedTimer burst;
        burst.start();
        const int before = Listener::inserts;
        for (int n = 0; n < 300; ++n) {
            static const char* const kPieces[] = {"12|4711|01.02.2015", "\r", "\n", "\r\n", "x\r"};
            log.appendLog(kPieces[random.bounded(5)]);
        }
        EXPECT_LE(Listener::inserts - before, 2 + burst.elapsed() / LogAnnouncer::kEveryMs);
        EXPECT_TRUE(heardAll()) << "round " << round;
        if (round == 2)
            log.clearLog();
        if (round == 3) // a full log drops its oldest lines
            log.appendLog(QByteArray("1|2\r\n").repeated(LogText::kMaxLines + 7));
    }
    EXPECT_TRUE(Listener::removedWhatWasThere);
    EXPECT_EQ(text->characterCount(), log.toPlainText().size());
}

TEST(TrafficLog, AppendingCostsNoMoreWhenTheLogIsLong) {
    LogWindow paced;
    TrafficLog& log = paced.log;
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
    EXPECT_EQ(log.lineCount(), 40000) << "the oldest lines are dropped";
    EXPECT_TRUE(log.line(log.lineCount() - 2).startsWith(QStringLiteral("12|4711")));
}

TEST(TrafficLog, AMegabyteWithoutLineEndStaysQuickAndKeepsEveryByte) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.resize(400, 200);
    log.show();
    const QByteArray piece(32, 'x');
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < (1 << 20) / 32; ++i)
        log.appendLog(piece);
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(log.text().size(), 1 << 20);
    EXPECT_LE(log.line(log.lineCount() - 1).size(), 512) << "shown in pieces";
}

TEST(TrafficLog, WhatAFrameShowsIsWhatAFullRepaintDraws) {
    // Only what changed is painted, and the scroll bar only when its look changes; after each
    // frame the screen must still show exactly what repainting everything shows, with one piece
    // or several appended since the last frame.
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.resize(420, 140);
    log.show();
    QApplication::processEvents();
    const QByteArray pieces[] = {"TAGTYP:1\r\n",    "12|1A2B3C4D|01.02.2015,1",
                                 "2:30\r\n13|",     QByteArray(600, 'g'),
                                 "\r\n\0NUL\xe9\r", "\nlast\r",
                                 "\r\r\n",          "x\r\ny\r\nz\r\n"};
    const int count = static_cast<int>(std::size(pieces));
    for (int round = 0; round < 24; ++round) {
        // From round 12 on, every append drops the oldest lines of a full log.
        if (round == 12)
            log.appendLog(QByteArray("12|1A2B3C4D|01.02.2015,12:30\r\n").repeated(40000));
        for (int first = 0; first < count;) {
            const int together = 1 + (round + first) % 3;
            for (int i = first; i < qMin(count, first + together); ++i)
                log.appendLog(pieces[i]);
            first += together;
            paced.pacer.showNow();
            const QImage shown = onScreen(log);
            ASSERT_FALSE(shown.isNull());
            log.repaint();
            ASSERT_EQ(shown, onScreen(log)) << "round " << round << ", piece " << first;
        }
    }
    EXPECT_EQ(log.lineCount(), 40000);
    EXPECT_TRUE(log.line(log.lineCount() - 1).isEmpty());
}

TEST(TrafficLog, StreamingTextIsPaintedOncePerFrameAndOnlyWhereItIsNew) {
    LogWindow paced;
    TrafficLog& log = paced.log;
    log.resize(600, 200);
    log.show();
    // Long, yet short of the 40000 lines kept: dropping the oldest line repaints the whole view.
    const QByteArray record = "12|1A2B3C4D|01.02.2015,12:30\r\n";
    log.appendLog(record.repeated(30000));
    paced.pacer.showNow();
    QApplication::processEvents();
    PaintCount viewport;
    PaintCount scrollBar;
    log.viewport()->installEventFilter(&viewport);
    log.verticalScrollBar()->installEventFilter(&scrollBar);

    // Pieces of 32 bytes as a serial adapter hands them over at the wire rate, the event loop
    // turning in between.
    const QByteArray stream = record.repeated(60);
    QElapsedTimer elapsed;
    elapsed.start();
    for (qsizetype at = 0; at < stream.size(); at += 32) {
        log.appendLog(stream.mid(at, 32));
        QTest::qWait(8);
    }
    QTest::qWait(FramePacer::kFrameMs * 3);
    EXPECT_GT(viewport.paints, 0);
    EXPECT_LE(viewport.paints, 2 + elapsed.elapsed() / FramePacer::kFrameMs);
    // Nothing is drawn further right than the records reach: not the full width of the view.
    const int recordWidth = 4 + 32 * QFontMetrics(log.font()).horizontalAdvance(QLatin1Char('M'));
    EXPECT_LE(viewport.widest, recordWidth);
    // Nor when a frame brings more lines than the view shows.
    log.appendLog(record.repeated(20));
    paced.pacer.showNow();
    QApplication::processEvents();
    EXPECT_LE(viewport.widest, recordWidth);
    EXPECT_EQ(scrollBar.paints, 0) << "the slider of 30000 lines does not move";
    EXPECT_EQ(log.line(log.lineCount() - 2), QStringLiteral("12|1A2B3C4D|01.02.2015,12:30"));

    // The operator scrolling moves the slider at once.
    log.verticalScrollBar()->setValue(0);
    QApplication::processEvents();
    EXPECT_GT(scrollBar.paints, 0);
}

} // namespace
