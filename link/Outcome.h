#pragma once

// How a command ended, for whoever started it. The handler has already told the operator in its
// own words; the window needs no more, the command line turns it into its exit status.
enum class Outcome {
    Done,         // done as asked; a transfer that was started goes on by itself
    NoRecords,    // the handheld holds no records, so there was nothing to download
    Declined,     // the operator answered No: nothing was sent
    InvalidInput, // a field holds what the command cannot carry: the box said so, nothing was sent
    NoAnswer,     // the handheld did not answer
    BadAnswer,    // the handheld answered with something the command cannot take
    ErrorAnswer,  // the handheld answered a command with an error instead of "Ok": not done
    PortFailure,  // no port is chosen, or it cannot be opened or written
    PortLost,     // the port was lost; the message about the lost connection tells the rest
    FileError,    // the data file cannot be chosen, opened, read or written
    CutShort,     // a transfer ended before its end: not everything arrived or was stored
};
