#include "link/StatusReply.h"

#include <array>

namespace {

constexpr std::array<const char*, StatusReplies::kCount> kPrefixes = {
    "TAGTYP:", "OFF:",      "TIMEOUT:",  "GPSTIMEOUT:", "FDXCODE:", "ENBEEP:",
    "GPS:",    "FUNCTION:", "LANGUAGE:", "AKKU:",       "VERSION:", "SNR:",
};

} // namespace

namespace StatusReplies {

QByteArray prefix(StatusReply reply) {
    return QByteArray(kPrefixes.at(static_cast<std::size_t>(reply)));
}

std::optional<StatusReply> match(const QByteArray& line) {
    for (std::size_t i = 0; i < kPrefixes.size(); ++i) {
        const QByteArray p(kPrefixes.at(i));
        if (line.size() > p.size() && line.startsWith(p))
            return static_cast<StatusReply>(i);
    }
    return std::nullopt;
}

} // namespace StatusReplies
