#pragma once

#include "link/StatusReply.h"

#include <QByteArray>
#include <QtGlobal>
#include <optional>

// What the handheld's answers mean: every line the tool interprets is read here, and only here.
// Each function takes a reply line without its CR LF (the greeting takes a whole read) and
// waits for nothing; the waiting is PolledReply's, the routing the dispatcher's.
//
// The count reply to "STA" is a decimal number of custom codes, "|", and a decimal number of
// records; blanks may stand around each number. A handheld without records may leave the second
// number out ("3|"), one may send decimals ("0|2.5"), and one answers with the number of records
// alone ("12"). Its takers read it differently, on purpose:
// - The record download needs only the number of records: "3|" holds none, "12" holds twelve,
//   "0|2.5" is rounded to 2 (a half to the even neighbour), and a records part that is no number
//   ("7|abc", "0|-3") is refused rather than taken for "no records".
// - The statistics show both numbers as the handheld sent them ("records: " for "3|", "2.5" for
//   "0|2.5"). A number alone does not answer them: it would have to be guessed as one of the
//   two, and a late barcode looks the same.
// - The command line's statistics give a whole number in JSON and null, with the text after
//   the "=", for anything else ("3|" has null records), so a script never sees a guessed count.
namespace Answers {

// The answer to a command the handheld confirms with one line: "Ok" when it did it, "Error"
// when it refused. The exact, case-sensitive start of the line decides; any other line (an
// echo, a late answer to something earlier) answers nothing.
enum class Ack { None, Done, Refused };
Ack acknowledgement(const QByteArray& line);

// The answer to a selection's "PUT ": "Ok" when it is stored, "Memory full" when it is not. An
// "Error" is passed over like any line that answers something else.
enum class PutAnswer { None, Stored, MemoryFull };
PutAnswer toPut(const QByteArray& line);

// The greeting: a read that holds a line starting with "Ok", at its start or behind a CR LF. The
// read may end inside that line (the LF comes a moment after the CR).
bool greets(const QByteArray& read);

// A whole count reply: a number, "|", and a records part (isRecordsPart). A record line
// ("3|0000ABCD|...") is none.
bool isCountReply(const QByteArray& line);
// The records part of a count reply, after its bar: blanks, a decimal number that may have
// decimals, or nothing.
bool isRecordsPart(const QByteArray& text);
// A line shaped like a count reply whose records part may be no number the tool takes ("7|abc",
// "0|-3"): a decimal number, "|", and a rest without another "|".
bool isCountShaped(const QByteArray& line);
// A line that holds one decimal number alone, blanks allowed around it.
bool isNumberAlone(const QByteArray& line);

// The number of records the download takes from an answer to "STA": the number after the bar
// (none there: 0), or the number alone, rounded to the nearest whole number. Nothing when that
// part is no number, or a negative one.
std::optional<qint64> recordCount(const QByteArray& reply);

// The two numbers of a count reply as the statistics show them: the text before the first bar
// and the text after it; a line without a bar is all records.
struct Counts {
    QByteArray customCodes;
    QByteArray records;
};
Counts counts(const QByteArray& reply);

// The status reply a line begins with. A keyword matches only when at least one character
// follows its colon; the comparison is exact and case-sensitive.
std::optional<StatusReply> statusReply(const QByteArray& line);
// The reply's keyword with its colon, such as "TAGTYP:".
QByteArray statusPrefix(StatusReply reply);
// The value text of a status reply: what follows its keyword's colon.
QByteArray statusValue(StatusReply reply, const QByteArray& line);

} // namespace Answers
