#include "ui/LogText.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// What the log must show for a byte stream, worked out on the whole stream at once: CR LF ends
// a line, any other CR, LF and NUL shows as its symbol, a line longer than the limit shows in
// pieces.
QString shownAsAWhole(const QByteArray& stream) {
    QString text;
    for (qsizetype i = 0; i < stream.size(); ++i) {
        const char byte = stream.at(i);
        if (byte == '\r' && i + 1 < stream.size() && stream.at(i + 1) == '\n') {
            text += QChar(0x2028); // a line end, told apart from a long line's pieces below
            ++i;
        } else if (byte == '\r') {
            text += QChar(0x240D);
        } else if (byte == '\n') {
            text += QChar(0x240A);
        } else if (byte == '\0') {
            text += QChar(0x2400);
        } else {
            text += QChar(QLatin1Char(byte));
        }
    }
    QStringList lines;
    for (const QString& line : text.split(QChar(0x2028))) {
        QStringList pieces;
        for (qsizetype at = 0; at < line.size(); at += LogText::kMaxColumns)
            pieces << line.mid(at, LogText::kMaxColumns);
        lines << (pieces.isEmpty() ? QString() : pieces.join(QLatin1Char('\n')));
    }
    return lines.join(QLatin1Char('\n'));
}

QByteArray randomStream(QRandomGenerator& random, int length) {
    static const char kAlphabet[] = {'A', 'b', ' ', '|', '\r', '\n', '\0', '\xe9'};
    QByteArray stream;
    while (stream.size() < length) {
        if (random.bounded(40) == 0) {
            // Now and then a line of about the limit's length, or of two.
            static const int kLengths[] = {511, 512, 513, 1024};
            stream += "\r\n" + QByteArray(kLengths[random.bounded(4)], 'x');
        } else {
            stream += kAlphabet[random.bounded(static_cast<int>(sizeof kAlphabet))];
        }
    }
    return stream;
}

TEST(LogText, ShowsTheStreamTheSameHoweverItIsCut) {
    for (quint32 seed = 1; seed <= 40; ++seed) {
        QRandomGenerator random(seed);
        const QByteArray stream = randomStream(random, 3000);
        const QString whole = shownAsAWhole(stream);
        LogText text;
        for (qsizetype at = 0; at < stream.size();) {
            const qsizetype piece = random.bounded(1, 64);
            text.append(stream.mid(at, piece));
            at += piece;
            // Everything before the settled end stays as it is shown now.
            const QString settled = text.text(0, text.offsetOf(text.settledEnd()));
            ASSERT_TRUE(whole.startsWith(settled)) << "seed " << seed << ", at " << at;
        }
        ASSERT_EQ(text.toPlainText(), whole) << "seed " << seed;
        EXPECT_EQ(text.bytes(), stream);
        EXPECT_EQ(text.characterCount(), text.toPlainText().size());

        // Offsets and places map onto each other and onto the text.
        const QString all = text.toPlainText();
        for (int n = 0; n < 50; ++n) {
            const int from = random.bounded(all.size() + 1);
            const int to = random.bounded(from, all.size() + 1);
            ASSERT_EQ(text.text(from, to), all.mid(from, to - from)) << "seed " << seed;
            ASSERT_EQ(text.offsetOf(text.placeOf(from)), from);
        }
    }
}

TEST(LogText, LoneLineEndsShowAsSymbolsAndAPairSplitInTwoIsOneEnd) {
    LogText text;
    text.append("TAGTYP:1\rOFF:0\r");
    EXPECT_EQ(text.toPlainText(), QStringLiteral("TAGTYP:1\u240DOFF:0\u240D"));
    EXPECT_EQ(text.settledEnd(), (LogText::Place{0, 14})) << "the last CR may still end a line";
    text.append(QByteArray("\nA\n\0", 4));
    EXPECT_EQ(text.toPlainText(), QStringLiteral("TAGTYP:1\u240DOFF:0\nA\u240A\u2400"));
    EXPECT_EQ(text.settledEnd(), text.end());
    text.clear();
    // The CR before a clear is gone with it: this LF is a lone one.
    text.append("\nOk");
    EXPECT_EQ(text.toPlainText(), QStringLiteral("\u240AOk"));
}

TEST(LogText, KeepsTheNewestLinesAndTellsWhatWasDropped) {
    LogText text;
    text.keepDropped(true);
    for (int n = 0; n < LogText::kMaxLines + 3; ++n)
        text.append(QByteArray::number(n) + "\r\n");
    EXPECT_EQ(text.lineCount(), LogText::kMaxLines);
    EXPECT_EQ(text.firstLine(), 4);
    EXPECT_EQ(text.line(4), QStringLiteral("4"));
    EXPECT_EQ(text.takeDropped(), QStringLiteral("0\n1\n2\n3\n"));
    EXPECT_EQ(text.firstOffset(), 8);
    EXPECT_EQ(text.offsetOf({4, 0}), 0);
    EXPECT_EQ(text.offsetOf({2, 0}), 0) << "a dropped place counts from the oldest kept line";

    // A selection that began in a dropped line keeps its kept part.
    text.select({3, 0}, {5, 1});
    EXPECT_EQ(text.selectedText(), QStringLiteral("4\n5"));
    text.append(QByteArray("x\r\n").repeated(3));
    EXPECT_EQ(text.selectedText(), QString()) << "all of it dropped";
}

} // namespace
