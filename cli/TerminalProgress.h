#pragma once

#include "exchange/TransferProgress.h"

#include <cstdio>

// How far a download or an upload has come, on one line of standard error that is rewritten in
// place ("Records received 120 of 1000"). It is shown only when standard error is a terminal and
// --quiet was not given: a log file or a mail from cron gets no lines full of carriage returns.
class TerminalProgress final : public TransferProgress {
public:
    TerminalProgress(std::FILE* out, bool enabled) : m_out(out), m_enabled(enabled) {}

    void show(const QString& what, qint64 done, qint64 total) override;
    void hide() override { endLine(); }

    // Ends a progress line still open, so that a message can follow on a line of its own.
    void endLine();

private:
    std::FILE* m_out;
    bool m_enabled;
    bool m_lineOpen = false;
};
