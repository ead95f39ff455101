// libFuzzer target: a record line as received to the line of the record file.
//
// Invariants, checked with assertions:
// - the line keeps its length, and only bars (to ";") and commas (to " ") change;
// - no bar is left, and a comma changes only when the character five places before it is ".";
// - the result is that of the rule followed literally, one step at a time (replace the first
//   bar, then look at the first comma, again and again), which costs time in the square of the
//   length; the tool's own linear version must agree at every length.

#include "exchange/CsvConversion.h"

#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

QByteArray stepByStep(QByteArray line) {
    while (line.contains('|')) {
        line[line.indexOf('|')] = ';';
        const qsizetype comma = line.indexOf(',');
        // Positions count from 1 in the rule: p > 5 and the character at p - 5 is ".".
        if (comma >= 0 && comma + 1 > 5 && line.at(comma - 5) == '.')
            line[comma] = ' ';
    }
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray line(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray converted = CsvConversion::recordToFileLine(line);

    require(converted.size() == line.size(), "the line keeps its length");
    require(!converted.contains('|'), "no bar is left");
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (converted.at(i) == line.at(i))
            continue;
        const bool bar = line.at(i) == '|' && converted.at(i) == ';';
        const bool dateComma =
            line.at(i) == ',' && converted.at(i) == ' ' && i >= 5 && line.at(i - 5) == '.';
        require(bar || dateComma, "only bars and commas after a date change");
    }
    require(converted == stepByStep(line), "the conversion follows the rule step by step");
    return 0;
}
