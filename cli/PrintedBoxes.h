#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <cstdio>
#include <functional>

class TerminalProgress;

// The handlers' message boxes on the command line: each is one line on standard error, after the
// program's name and the run's subject (the port, and the file when there is one). A box that asks
// Yes or No is answered Yes only when the run was told so (--yes).
//
// Every box is kept in the order shown, with its icon and title, so the run can tell from them how
// it ended. A judge set by the run decides which of them are printed.
class PrintedBoxes final : public MessageBoxes {
public:
    struct Shown {
        QString text;
        QString title; // the application title when none was given
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
    };
    using Judge = std::function<bool(const Shown&)>;

    PrintedBoxes(std::FILE* out, bool answerYes, TerminalProgress& progress)
        : m_out(out), m_answerYes(answerYes), m_progress(progress) {}

    Answer show(const QString& text, const QString& title, Icon icon, Buttons buttons) override;

    // Runs for every box as it is shown; true prints it. Without a judge every box is printed.
    void setJudge(Judge judge) { m_judge = std::move(judge); }
    // What every line names after the program's name, such as "COM1 (/dev/ttyUSB0), records.csv".
    void setSubject(const QString& subject) { m_subject = subject; }

    // Prints a message of the run's own, in the same form as a box.
    void print(const QString& text);

    const QList<Shown>& shown() const { return m_shown; }

    // The text on one line: each line break, with the blanks around it, becomes one blank, and
    // other control characters are shown as \xNN.
    static QString oneLine(const QString& text);

private:
    std::FILE* m_out;
    bool m_answerYes;
    TerminalProgress& m_progress;
    Judge m_judge;
    QString m_subject;
    QList<Shown> m_shown;
};
