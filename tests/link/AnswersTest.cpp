#include "link/Answers.h"

#include <QList>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>

namespace {

struct CountCase {
    QByteArray line;
    bool countReply;
    bool countShaped;
    bool numberAlone;
    std::optional<qint64> records; // what the download takes
    Answers::Counts shown;         // what the statistics show
};

TEST(AnswersTest, CountRepliesReadTheSameWhereverTheyAreTaken) {
    const QList<CountCase> cases = {
        {"3|5", true, true, false, 5, {"3", "5"}},
        {" 3 | 5 ", true, true, false, 5, {" 3 ", " 5 "}},
        // No records: the number may be left out, which a cut-off "3|5" also looks like; the
        // waits take only whole lines.
        {"3|", true, true, false, 0, {"3", ""}},
        {"3| ", true, true, false, 0, {"3", " "}},
        {"12", false, false, true, 12, {"", "12"}},
        {" 12 ", false, false, true, 12, {"", " 12 "}},
        {"0|2.5", true, true, false, 2, {"0", "2.5"}},
        {"0|3.5", true, true, false, 4, {"0", "3.5"}},
        {"0|2 .5", false, true, false, std::nullopt, {"0", "2 .5"}},
        {"7|abc", false, true, false, std::nullopt, {"7", "abc"}},
        {"0|-3", false, true, false, std::nullopt, {"0", "-3"}},
        {"3|0000ABCD|1", false, false, false, std::nullopt, {"3", "0000ABCD|1"}},
        {"3.0|5", false, false, false, 5, {"3.0", "5"}},
        {"|5", false, false, false, 5, {"", "5"}},
        {"", false, false, false, 0, {"", ""}},
        {"   ", false, false, false, 0, {"", "   "}},
        {"1e3", false, false, false, std::nullopt, {"", "1e3"}},
        // Counts past any the tool can hold are refused, not wrapped.
        {"0|99999999999999999999", true, true, false, std::nullopt, {"0", "99999999999999999999"}},
        {"99999999999999999999", false, false, true, std::nullopt, {"", "99999999999999999999"}},
        {"0|9223372036854775807", true, true, false, std::nullopt, {"0", "9223372036854775807"}},
        {"0|9223372036854774784",
         true,
         true,
         false,
         9223372036854774784,
         {"0", "9223372036854774784"}},
        // A CR or LF on its own stays in the line: no count the download can take.
        {"3|5\r", false, true, false, std::nullopt, {"3", "5\r"}},
        {"\r3|5", false, false, false, 5, {"\r3", "5"}},
        {"12\n", false, false, false, std::nullopt, {"", "12\n"}},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        EXPECT_EQ(Answers::isCountReply(c.line), c.countReply);
        EXPECT_EQ(Answers::isCountShaped(c.line), c.countShaped);
        EXPECT_EQ(Answers::isNumberAlone(c.line), c.numberAlone);
        EXPECT_EQ(Answers::recordCount(c.line), c.records);
        EXPECT_EQ(Answers::counts(c.line).customCodes, c.shown.customCodes);
        EXPECT_EQ(Answers::counts(c.line).records, c.shown.records);
    }
}

TEST(AnswersTest, OnlyTheExactStartOfALineAcknowledges) {
    using Ack = Answers::Ack;
    using Put = Answers::PutAnswer;
    const QList<std::tuple<QByteArray, Ack, Put>> cases = {
        {"Ok", Ack::Done, Put::Stored},
        {"Ok\r", Ack::Done, Put::Stored},
        {"Ok 12", Ack::Done, Put::Stored},
        {"OK", Ack::None, Put::None},
        {" Ok", Ack::None, Put::None},
        {"Error", Ack::Refused, Put::None},
        {"Error 3", Ack::Refused, Put::None},
        {"error", Ack::None, Put::None},
        {"Memory full", Ack::None, Put::MemoryFull},
        {"Memory", Ack::None, Put::None},
        {"DEL E", Ack::None, Put::None},
        {"", Ack::None, Put::None},
    };
    for (const auto& [line, ack, put] : cases) {
        SCOPED_TRACE(line.toStdString());
        EXPECT_EQ(Answers::acknowledgement(line), ack);
        EXPECT_EQ(Answers::toPut(line), put);
    }
}

TEST(AnswersTest, TheGreetingIsALineStartingWithOk) {
    const QList<std::pair<QByteArray, bool>> cases = {
        {"Ok\r\n", true},  {"Ok", true},           {"Ok\r", true},       {"O", false},
        {"OK\r\n", false}, {"xOk\r\n", false},     {"\nOk", false},      {"\rOk", false},
        {"", false},       {"ONLINE\r\nOk", true}, {"\r\n\r\nOk", true},
    };
    for (const auto& [read, greets] : cases)
        EXPECT_EQ(Answers::greets(read), greets) << read.toStdString();
}

TEST(AnswersTest, EachStatusKeywordMatchesOnlyItsOwnReply) {
    const QList<std::tuple<QByteArray, std::optional<StatusReply>, QByteArray>> cases = {
        {"TAGTYP:1", StatusReply::Tagtyp, "1"},
        {"OFF:300", StatusReply::Off, "300"},
        {"TIMEOUT:20", StatusReply::Timeout, "20"},
        {"GPSTIMEOUT:30", StatusReply::GpsTimeout, "30"},
        {"FDXCODE:2", StatusReply::FdxCode, "2"},
        {"ENBEEP:1", StatusReply::EnBeep, "1"},
        {"GPS:0", StatusReply::Gps, "0"},
        {"FUNCTION:1,0", StatusReply::Function, "1,0"},
        {"LANGUAGE:1", StatusReply::Language, "1"},
        {"AKKU: 87\r", StatusReply::Akku, " 87\r"},
        {"VERSION:V2", StatusReply::Version, "V2"},
        {"SNR:AE012345", StatusReply::Snr, "AE012345"},
        {"TAGTYP:", std::nullopt, {}},
        {"tagtyp:3", std::nullopt, {}},
        {" TAGTYP:3", std::nullopt, {}},
        {"GPSTIMEOUT", std::nullopt, {}},
        {"", std::nullopt, {}},
    };
    for (const auto& [line, reply, value] : cases) {
        SCOPED_TRACE(line.toStdString());
        ASSERT_EQ(Answers::statusReply(line), reply);
        if (reply) {
            EXPECT_EQ(Answers::statusValue(*reply, line), value);
            EXPECT_EQ(Answers::statusPrefix(*reply) + value, line);
        }
    }
}

} // namespace
