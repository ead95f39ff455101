#pragma once

#include <QByteArray>

// What counts as the handheld's answer to the commands whose answer the command line awaits
// itself, since no handler does: "DEL E" and "DEL T" (erase), "CLOCK ..." (set-time) and the
// lines of the settings' buttons (config apply). The handheld answers each with one line: "Ok"
// when it did it, "Error" when it refused.
//
// Every other line that comes meanwhile is passed over, as the handlers pass it over while they
// await the count reply: the command repeated by a handheld that echoes, a late answer to
// something earlier (a barcode, a status reply), a line cut off before. Taking such a line for
// the answer would call a done erase refused.
namespace Answers {

enum class Kind { None, Done, Refused };

// The exact, case-sensitive start of the line decides, as for the greeting's "Ok".
Kind of(const QByteArray& line);

} // namespace Answers
