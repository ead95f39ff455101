#include "exchange/CsvConversion.h"
#include "exchange/DataFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using CsvConversion::recordToFileLine;
using CsvConversion::selectionToCommand;

TEST(CsvConversionTest, RecordLinesTurnBarsIntoSemicolonsAndJoinDatesToTheirTimes) {
    // The worked example: each bar lets the first remaining comma be examined.
    EXPECT_EQ(recordToFileLine("12|4711|01.02.2015,12:30"), "12;4711;01.02.2015 12:30");
    EXPECT_EQ(recordToFileLine("1|01.02.2015,10:00|02.02.2015,11:00"),
              "1;01.02.2015 10:00;02.02.2015 11:00");
    // One bar, two date commas: only the first is examined.
    EXPECT_EQ(recordToFileLine("1|01.02.2015,10:00 02.02.2015,11:00"),
              "1;01.02.2015 10:00 02.02.2015,11:00");
    // A line without a bar is left as it is, commas included.
    EXPECT_EQ(recordToFileLine("01.02.2015,12:30"), "01.02.2015,12:30");
    EXPECT_EQ(recordToFileLine(""), "");
}

TEST(CsvConversionTest, AFirstCommaThatFailsTheTestKeepsEveryLaterComma) {
    EXPECT_EQ(recordToFileLine("A,1|B"), "A,1;B");
    EXPECT_EQ(recordToFileLine("1|x,y|01.02.2015,10:00|z"), "1;x,y;01.02.2015,10:00;z");
    // A comma at position 5 has nothing five places before it; at position 6 it has.
    EXPECT_EQ(recordToFileLine("a.cd,|x"), "a.cd,;x");
    EXPECT_EQ(recordToFileLine(".bcde,|x"), ".bcde ;x");
}

TEST(CsvConversionTest, ConversionsKeepEveryOtherByteAndTheLength) {
    const QByteArray record("\xe4\0\xff|\"q\" ;x", 10);
    const QByteArray converted = recordToFileLine(record);
    EXPECT_EQ(converted, QByteArray("\xe4\0\xff;\"q\" ;x", 10));

    EXPECT_EQ(selectionToCommand("4711;Smith;A"), "PUT 4711|Smith|A");
    EXPECT_EQ(selectionToCommand(""), "PUT ");
    EXPECT_EQ(selectionToCommand(QByteArray("a|b, \"c\"\0\xe9;", 11)),
              QByteArray("PUT a|b, \"c\"\0\xe9|", 15));
}

class DataFileTest : public ::testing::Test {
protected:
    // Writes the bytes, then reads them back line by line after counting them.
    QList<QByteArray> readBack(const QByteArray& bytes, qint64* counted) {
        const QString path = dir.filePath(QStringLiteral("s.csv"));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        QString error;
        EXPECT_TRUE(file.openForSelections(path, &error)) << error.toStdString();
        *counted = file.countLines(&error).value_or(-1);
        QList<QByteArray> lines;
        while (const auto line = file.readLine())
            lines << *line;
        EXPECT_TRUE(file.atEnd());
        EXPECT_TRUE(file.readError().isEmpty());
        return lines;
    }

    QTemporaryDir dir;
    DataFile file;
};

TEST_F(DataFileTest, SelectionLinesEndAtCrLfACrAloneAFinalLfOrInAFileWithoutCrAnLfAlone) {
    const struct {
        QByteArray bytes;
        QList<QByteArray> lines;
    } cases[] = {
        {"a;1\r\nb;2\rc;3", {"a;1", "b;2", "c;3"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}}, // no empty line after the last line end
        {"a\nb;2\nc\n", {"a", "b;2", "c"}}, // a file written on Linux
        // With CRs in the file, an LF is part of its line: a field of two lines.
        {"a;x\ny\r\nb\r\n", {"a;x\ny", "b"}},
        // An LF that is the file's last byte ends the last line (a line added on Linux).
        {"a\r\nb;2\n", {"a", "b;2"}},
        {"a\r\nb\nc\n", {"a", "b\nc"}},
        {"a\r\n\n", {"a", ""}},
        {"a\n\rb\r", {"a\n", "b"}},
        {"\r", {""}},
        {"a\r\nlast;|b|\r", {"a", "last;|b|"}}, // a CR at the very end, after other lines
        {"", {}},
    };
    for (const auto& c : cases) {
        qint64 counted = 0;
        EXPECT_EQ(readBack(c.bytes, &counted), c.lines) << c.bytes.toStdString();
        EXPECT_EQ(counted, c.lines.size()) << c.bytes.toStdString();
    }
}

TEST_F(DataFileTest, LongLinesAndManyLinesAreReadWhole) {
    // A CR that ends one 64 KiB piece of the file and its LF that opens the next.
    const QByteArray edge(64 * 1024 - 1, 'e');
    const QByteArray huge(100 * 1024, 'h');
    qint64 counted = 0;
    EXPECT_EQ(readBack(edge + "\r\n" + huge + "\r" + huge, &counted),
              (QList<QByteArray>{edge, huge, huge}));
    EXPECT_EQ(counted, 3);

    QByteArray many;
    for (int n = 0; n < 100000; ++n)
        many += QByteArray::number(n) + ";x\r\n";
    const QList<QByteArray> lines = readBack(many, &counted);
    EXPECT_EQ(counted, 100000);
    ASSERT_EQ(lines.size(), 100000);
    EXPECT_EQ(lines.last(), "99999;x");
}

} // namespace
