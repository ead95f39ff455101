#pragma once

// The twelve status replies of the query chain, in the order they are tested and queried.
// Answers reads them.
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

} // namespace StatusReplies
