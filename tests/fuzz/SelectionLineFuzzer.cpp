// libFuzzer target: a line of the selection file to its upload command.
//
// Invariants, checked with assertions:
// - the command is "PUT " and the line, which keeps its length;
// - only semicolons change, each into a bar, and none is left; every other byte, NUL and 8-bit
//   bytes included, passes unchanged;
// - a line as the selection file yields it (no CR) makes a command without a CR, so the handheld
//   sees exactly one command per line.

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray line(reinterpret_cast<const char*>(data), qsizetype(size));
    const QByteArray command = CsvConversion::selectionToCommand(line);

    require(command.startsWith("PUT "), "the command word comes first");
    const QByteArray fields = command.mid(4);
    require(fields.size() == line.size(), "the line keeps its length");
    require(!fields.contains(';'), "no semicolon is left");
    for (qsizetype i = 0; i < line.size(); ++i) {
        const bool same = fields.at(i) == line.at(i);
        const bool semicolon = line.at(i) == ';' && fields.at(i) == '|';
        require(same || semicolon, "only semicolons change");
    }
    require(line.contains('\r') || !command.contains('\r'), "one command per line");
    return 0;
}
