#include "link/Answers.h"

#include "link/NumberInText.h"

#include <array>
#include <limits>

namespace {

constexpr std::array<const char*, StatusReplies::kCount> kPrefixes = {
    "TAGTYP:", "OFF:",      "TIMEOUT:",  "GPSTIMEOUT:", "FDXCODE:", "ENBEEP:",
    "GPS:",    "FUNCTION:", "LANGUAGE:", "AKKU:",       "VERSION:", "SNR:",
};

// The position after blanks, one run of decimal digits and blanks from `at`; -1 when there are no
// digits and they are required.
qsizetype skipNumber(const QByteArray& text, qsizetype at, bool required) {
    while (at < text.size() && text[at] == ' ')
        ++at;
    const qsizetype digits = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
        ++at;
    if (at == digits && required)
        return -1;
    while (at < text.size() && text[at] == ' ')
        ++at;
    return at;
}

} // namespace

namespace Answers {

Ack acknowledgement(const QByteArray& line) {
    if (line.startsWith("Ok"))
        return Ack::Done;
    if (line.startsWith("Error"))
        return Ack::Refused;
    return Ack::None;
}

PutAnswer toPut(const QByteArray& line) {
    if (line.startsWith("Ok"))
        return PutAnswer::Stored;
    if (line.startsWith("Memory full"))
        return PutAnswer::MemoryFull;
    return PutAnswer::None;
}

bool greets(const QByteArray& read) {
    return read.startsWith("Ok") || read.contains("\r\nOk");
}

bool isCountReply(const QByteArray& line) {
    const qsizetype bar = skipNumber(line, 0, true);
    if (bar < 0 || bar >= line.size() || line[bar] != '|')
        return false;
    return isRecordsPart(line.mid(bar + 1));
}

bool isRecordsPart(const QByteArray& text) {
    // A handheld that holds no records may leave the number out.
    qsizetype at = skipNumber(text, 0, false);
    if (at > 0 && at < text.size() && text[at] == '.' && text[at - 1] != ' ')
        at = skipNumber(text, at + 1, false);
    return at == text.size();
}

bool isCountShaped(const QByteArray& line) {
    const qsizetype bar = skipNumber(line, 0, true);
    return bar >= 0 && bar < line.size() && line[bar] == '|' && line.indexOf('|', bar + 1) < 0;
}

bool isNumberAlone(const QByteArray& line) {
    return skipNumber(line, 0, true) == line.size();
}

std::optional<qint64> recordCount(const QByteArray& reply) {
    const qsizetype bar = reply.indexOf('|');
    const QByteArray records = bar >= 0 ? reply.mid(bar + 1) : reply;
    if (!isRecordsPart(records))
        return std::nullopt;
    return NumberInText::rounded(NumberInText::read(records), 0,
                                 std::numeric_limits<qint64>::max());
}

Counts counts(const QByteArray& reply) {
    const qsizetype bar = reply.indexOf('|');
    return {reply.left(bar), reply.mid(bar + 1)};
}

std::optional<StatusReply> statusReply(const QByteArray& line) {
    for (std::size_t i = 0; i < kPrefixes.size(); ++i) {
        const QByteArray p(kPrefixes.at(i));
        if (line.size() > p.size() && line.startsWith(p))
            return static_cast<StatusReply>(i);
    }
    return std::nullopt;
}

QByteArray statusPrefix(StatusReply reply) {
    return QByteArray(kPrefixes.at(static_cast<std::size_t>(reply)));
}

QByteArray statusValue(StatusReply reply, const QByteArray& line) {
    return line.mid(statusPrefix(reply).size());
}

} // namespace Answers
