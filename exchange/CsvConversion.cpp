#include "exchange/CsvConversion.h"

namespace {

// A date dd.mm.yyyy has its last dot five places before the character after the year.
constexpr qsizetype kDotBeforeComma = 5;

} // namespace

namespace CsvConversion {

QByteArray recordToFileLine(QByteArray line) {
    // Bars are replaced from left to right and replacing one creates no other, so the next bar is
    // always found after the last one. The first comma only moves forward, when it becomes a
    // blank; a comma that fails the test stays first and fails again for every later bar.
    qsizetype bar = line.indexOf('|');
    qsizetype comma = line.indexOf(',');
    while (bar >= 0) {
        line[bar] = ';';
        // Bars, semicolons and blanks are never ".", so the test reads the same before or after
        // the earlier replacements.
        if (comma >= kDotBeforeComma && line.at(comma - kDotBeforeComma) == '.') {
            line[comma] = ' ';
            comma = line.indexOf(',', comma + 1);
        }
        bar = line.indexOf('|', bar + 1);
    }
    return line;
}

QByteArray selectionToCommand(const QByteArray& line) {
    QByteArray fields = line;
    fields.replace(';', '|');
    return QByteArrayLiteral("PUT ") + fields;
}

} // namespace CsvConversion
