#pragma once

#include "cli/ExitCode.h"
#include "link/Outcome.h"

// How a run ends, as its exit status: told by the outcomes of the handlers it ran.
//
// The first failure decides: what follows it is mostly its consequence.
class Verdict {
public:
    // The exit status an outcome stands for. transferCutShort: the download had requested records
    // that did not all arrive, or the upload was stopped before its end; a lost port or a silent
    // handheld then leave a transfer incomplete.
    static int of(Outcome outcome, bool transferCutShort = false);

    void note(int code) {
        if (m_code == ExitCode::kSuccess)
            m_code = code;
    }
    void note(Outcome outcome, bool transferCutShort = false) {
        note(of(outcome, transferCutShort));
    }
    int code() const { return m_code; }
    bool failed() const { return m_code != ExitCode::kSuccess; }

private:
    int m_code = ExitCode::kSuccess;
};
