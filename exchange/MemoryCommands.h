#pragma once

#include "link/Outcome.h"

#include <QByteArray>
#include <QString>

class Controls;
class Link;

// The "Data exchange" buttons that act on the handheld's memory without a file. None of them
// reads or changes the reply mode.
class MemoryCommands {
public:
    MemoryCommands(Link& link, Controls& controls) : m_link(link), m_controls(controls) {}

    // `LoescheErfassungen` "Erase records" and `LoescheDaten` "Erase selections": both ask the same
    // question first; only Yes sends "DEL E" or "DEL T". The answer is not awaited: Done means
    // the command went out.
    Outcome eraseRecords();
    Outcome eraseSelections();
    // `LeseDaten` "Read out selections": sends "REC"; the lines reach the log as they arrive.
    Outcome readOutSelections();
    // `Statistik` "Statistic": sends "STA", reads the answer itself for up to about 2 s and shows
    // "Custom codes: ..., records: ..." in `OutStatistik`. No answer shows nothing.
    struct Statistics {
        Outcome outcome = Outcome::NoAnswer;
        QString customCodes; // the two counts as the handheld wrote them, when it answered
        QString records;
    };
    Statistics showStatistics();

    static constexpr qint64 kStatisticsWaitMs = 2050;

private:
    Outcome erase(const QByteArray& command);
    Outcome sendFailed(const char* what);

    Link& m_link;
    Controls& m_controls;
};
