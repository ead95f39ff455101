#include "cli/Verdict.h"

int Verdict::of(Outcome outcome, bool transferCutShort) {
    switch (outcome) {
    case Outcome::Done:
    case Outcome::NoRecords:
        return ExitCode::kSuccess;
    case Outcome::FileError:
        return ExitCode::kFile; // also when a transfer stopped short: the file is the cause
    default:
        break;
    }
    if (transferCutShort)
        return ExitCode::kIncomplete;
    switch (outcome) {
    case Outcome::NoAnswer:
    case Outcome::PortLost:
        return ExitCode::kNoAnswer;
    case Outcome::PortFailure:
        return ExitCode::kPort;
    case Outcome::CutShort:
        return ExitCode::kIncomplete;
    case Outcome::ErrorAnswer:
        return ExitCode::kRefused;
    default:
        return ExitCode::kFailure; // declined, or an answer the tool cannot take
    }
}
