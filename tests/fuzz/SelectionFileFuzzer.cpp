// libFuzzer target: reading a selection file, as the upload reads it, line by line.
//
// Input: the file's bytes, except that the byte 0xFE followed by a byte n stands for a run of
// 65,000 + 997 * (n % 64) bytes "x", so that lines and line ends fall on every side of the
// 64 KiB pieces the file is read in (at most eight runs per input).
//
// Invariants, checked with assertions:
// - no crash, no undefined behaviour, no leak (the sanitizers);
// - the lines are those of the rule: a line ends at CR LF or at a CR alone, and at an LF alone
//   only in a file without a CR or as the file's last byte; the last line may lack its end, and a
//   file that ends with a line end yields no empty line after it;
// - the count taken before the upload is the number of lines read, and reading ends at the end;
// - memory bounded: no line is longer than the file.

#include "exchange/DataFile.h"

#include <QList>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr std::uint8_t kRun = 0xFE;
constexpr qsizetype kRunBase = 65000;
constexpr qsizetype kRunStep = 997;
constexpr int kRunSteps = 64;
constexpr int kRunsAtMost = 8;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

QByteArray expand(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes;
    int runs = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == kRun && i + 1 < size && runs < kRunsAtMost) {
            bytes.append(kRunBase + kRunStep * (data[++i] % kRunSteps), 'x');
            ++runs;
            continue;
        }
        bytes.append(static_cast<char>(data[i]));
    }
    return bytes;
}

QList<QByteArray> byTheRule(const QByteArray& file) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const bool lfEndsLines = !file.contains('\r');
    for (qsizetype at = 0; at < file.size(); ++at) {
        if (file.at(at) != '\r' && !(file.at(at) == '\n' && lfEndsLines))
            continue;
        lines << file.mid(start, at - start);
        if (file.at(at) == '\r' && at + 1 < file.size() && file.at(at + 1) == '\n')
            ++at;
        start = at + 1;
    }
    if (start < file.size())
        lines << (file.endsWith('\n') ? file.mid(start, file.size() - 1 - start) : file.mid(start));
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray file = expand(data, size);
    // One file in memory for the whole run, written afresh for each input.
    static const int fd = ::memfd_create("selections", 0);
    require(fd >= 0, "a file in memory");
    require(::ftruncate(fd, 0) == 0 &&
                ::pwrite(fd, file.constData(), std::size_t(file.size()), 0) == file.size(),
            "the file is written");

    DataFile dataFile;
    QString error;
    require(dataFile.openForSelections(QStringLiteral("/proc/self/fd/%1").arg(fd), &error),
            "the file opens");
    const std::optional<qint64> counted = dataFile.countLines(&error);
    require(counted.has_value(), "the lines are counted");

    QList<QByteArray> lines;
    while (const std::optional<QByteArray> line = dataFile.readLine()) {
        require(line->size() <= file.size(), "no line is longer than the file");
        require(!line->contains('\r'), "a CR always ends a line");
        require(!line->contains('\n') || file.contains('\r'), "without a CR, an LF ends a line");
        lines << *line;
    }
    require(dataFile.readError().isEmpty(), "reading did not fail");
    require(dataFile.atEnd(), "reading stops at the end");
    require(*counted == lines.size(), "the count is the number of lines read");
    require(lines == byTheRule(file), "the lines follow the rule");
    dataFile.close();
    return 0;
}
