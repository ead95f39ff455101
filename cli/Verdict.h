#pragma once

#include "cli/ExitCode.h"
#include "cli/PrintedBoxes.h"

// How a run ends, as its exit status: told by the message boxes the handlers show during each
// step of the run, by their icon, their title and, for the few that decide alone, their text.
//
// The first failure decides: what follows it is mostly its consequence.
class Verdict {
public:
    enum class Step {
        Connect,
        StatusQueries,
        Download,
        Upload,
        Erase,
        Statistics,
        SetTime,
        Disconnect
    };

    // The exit status a box shown during the step stands for. transferCutShort: the download had
    // requested records that did not all arrive, or the upload was stopped before its end.
    static int of(Step step, const PrintedBoxes::Shown& box, bool transferCutShort);
    // A box that quotes the data file's failure to open, read or write.
    static bool isFileFailure(const QString& text);

    void note(int code) {
        if (m_code == ExitCode::kSuccess)
            m_code = code;
    }
    int code() const { return m_code; }
    bool failed() const { return m_code != ExitCode::kSuccess; }

private:
    int m_code = ExitCode::kSuccess;
};
