#pragma once

// The exit status of quorvelino-cli, as its --help and the README document it. Scripts rely on
// these numbers: never renumber them.
namespace ExitCode {

constexpr int kSuccess = 0;
// A failure of no kind below, such as an answer of the handheld the tool cannot take.
constexpr int kFailure = 1;
// The command line is wrong, or no port is given or chosen: nothing was done.
constexpr int kUsage = 2;
// The port cannot be opened.
constexpr int kPort = 3;
// The handheld does not answer, keeps sending, or the connection to it was lost.
constexpr int kNoAnswer = 4;
// A download that stopped short, or an upload that was not stored completely.
constexpr int kIncomplete = 5;
// A file that cannot be read or written, or a settings profile that is not valid.
constexpr int kFile = 6;
// The time limit of --timeout ended the run.
constexpr int kTimeLimit = 7;
// The handheld answered a command with an error instead of "Ok": it did not do it; or a setting
// written reads back otherwise.
constexpr int kRefused = 8;
// A signal ended the run: 128 and its number, as shells report it (130 for Ctrl+C).
constexpr int kSignalBase = 128;

} // namespace ExitCode
