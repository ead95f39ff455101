#pragma once

#include "platform/MessageBoxes.h"

#include <QStringList>
#include <cstdio>
#include <functional>

class TerminalProgress;

// The handlers' message boxes on the command line: each is one line on standard error, after the
// program's name and the run's subject (the port, and the file when there is one). A box that asks
// Yes or No is answered Yes only when the run was told so (--yes), and then not printed.
//
// A quiet run holds its boxes back until it knows whether it failed: release() prints them,
// forget() drops them. A message of the run's own is a failure's: it releases what is held first.
class PrintedBoxes final : public MessageBoxes {
public:
    PrintedBoxes(std::FILE* out, bool answerYes, bool quiet, TerminalProgress& progress)
        : m_out(out), m_answerYes(answerYes), m_quiet(quiet), m_progress(progress) {}

    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons) override;

    // While muted() holds, boxes are neither printed nor held: the run tells what its stop cut
    // short itself.
    void setMuted(std::function<bool()> muted) { m_muted = std::move(muted); }
    // What every line names after the program's name, such as "COM1 (/dev/ttyUSB0), records.csv".
    void setSubject(const QString& subject) { m_subject = subject; }

    // Prints a message of the run's own, in the same form as a box.
    void print(const QString& text);
    void release();
    void forget() { m_held.clear(); }
    // Every message printed so far, each on one line as printed but without the program's name,
    // the subject and the escapes of control characters (a JSON text has its own).
    const QStringList& printed() const { return m_printed; }

    // The text on one line: each line break, with the blanks around it, becomes one blank, and
    // other control characters are shown as \xNN.
    static QString oneLine(const QString& text);

private:
    // oneLine() before the escapes.
    static QString collapsed(const QString& text);
    void printLine(const QString& text);

    std::FILE* m_out;
    bool m_answerYes;
    bool m_quiet;
    TerminalProgress& m_progress;
    std::function<bool()> m_muted;
    QString m_subject;
    QStringList m_held;
    QStringList m_printed;
};
