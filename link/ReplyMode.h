#pragma once

#include <cstdint>

// What the next reply lines mean. A handler sets the mode just before it writes the command
// whose replies need handling; the handler of the last expected line sets it back to Idle.
enum class ReplyMode : std::int16_t {
    Idle = 0,           // lines are only logged
    IdRead = 1,         // the next line is an identification result
    RecordDownload = 3, // each line is one captured record
    StatusChain = 4,    // each line is a status reply of the query chain
};
