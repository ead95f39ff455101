#pragma once

#include <QByteArray>

// The two conversions between the handheld's lines and the CSV files. On the serial line the
// handheld separates fields with "|", in the files they are separated by ";". Bytes are 8-bit
// and pass through unchanged; both conversions keep the line's length.
namespace CsvConversion {

// A record line as received (without its CR LF) to the line written to the record file (without
// its CR LF). Each "|" becomes ";", from left to right; each time a bar is replaced, the first
// comma still in the line is examined, and when the character five places before it is "." (a
// comma right after a date dd.mm.yyyy) the comma becomes a blank, so the date and the time after
// it share one field. A first comma that fails this test stays and is examined again for every
// later bar, so no comma after it is ever changed. A line without "|" is returned unchanged.
// Runs in time proportional to the line's length.
QByteArray recordToFileLine(QByteArray line);

// A line of the selection file to the text of its upload command: "PUT ", then the line with
// every ";" replaced by "|"; nothing else changes. The command's CR is not included (the link
// appends it).
QByteArray selectionToCommand(const QByteArray& line);

} // namespace CsvConversion
