#include "cli/Verdict.h"

namespace {

// The exit status an outcome stands for on its own.
int standsFor(Outcome outcome) {
    switch (outcome) {
    case Outcome::Done:
    case Outcome::NoRecords:
        return ExitCode::kSuccess;
    case Outcome::NoAnswer:
    case Outcome::PortLost:
        return ExitCode::kNoAnswer;
    case Outcome::PortFailure:
        return ExitCode::kPort;
    case Outcome::CutShort:
        return ExitCode::kIncomplete;
    case Outcome::ErrorAnswer:
        return ExitCode::kRefused;
    case Outcome::FileError:
        return ExitCode::kFile;
    case Outcome::Declined:
    case Outcome::BadAnswer:
    case Outcome::InvalidInput:
        return ExitCode::kFailure;
    }
    return ExitCode::kFailure; // every outcome is named above
}

} // namespace

int Verdict::of(Outcome outcome, bool transferCutShort) {
    const int code = standsFor(outcome);
    // A transfer left incomplete is what the run reports, whatever cut it short; but a file that
    // cannot be written stays the cause, even when a transfer stopped short.
    if (transferCutShort && code != ExitCode::kSuccess && code != ExitCode::kFile)
        return ExitCode::kIncomplete;
    return code;
}
