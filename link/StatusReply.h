#pragma once

#include <QByteArray>
#include <optional>

// The twelve status replies of the query chain, in the order they are tested and queried.
enum class StatusReply {
    Tagtyp,
    Off,
    Timeout,
    GpsTimeout,
    FdxCode,
    EnBeep,
    Gps,
    Function,
    Language,
    Akku,
    Version,
    Snr,
};

namespace StatusReplies {

constexpr int kCount = 12;

// The reply's keyword with its colon, such as "TAGTYP:".
QByteArray prefix(StatusReply reply);

// The status reply a line begins with. A prefix matches only when at least one character
// follows its colon; the comparison is exact and case-sensitive.
std::optional<StatusReply> match(const QByteArray& line);

} // namespace StatusReplies
