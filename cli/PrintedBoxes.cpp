#include "cli/PrintedBoxes.h"

#include "cli/Printable.h"
#include "cli/TerminalProgress.h"

#include <QRegularExpression>
#include <utility>

MessageBoxes::Answer PrintedBoxes::show(const QString& text, const QString&, Icon,
                                        Buttons buttons) {
    const bool answeredYes = buttons == Buttons::YesNo && m_answerYes;
    if (!answeredYes && !(m_muted && m_muted())) {
        if (m_quiet)
            m_held.append(text);
        else
            printLine(text);
    }
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return m_answerYes ? Answer::Yes : Answer::No;
}

void PrintedBoxes::print(const QString& text) {
    release();
    printLine(text);
}

void PrintedBoxes::release() {
    for (const QString& text : std::exchange(m_held, {}))
        printLine(text);
}

void PrintedBoxes::printLine(const QString& text) {
    m_progress.endLine();
    m_printed.append(collapsed(text));
    QString line = QStringLiteral("quorvelino-cli: ");
    if (!m_subject.isEmpty())
        line += m_subject + QStringLiteral(": ");
    line += oneLine(text);
    std::fprintf(m_out, "%s\n", line.toLocal8Bit().constData());
    std::fflush(m_out);
}

QString PrintedBoxes::oneLine(const QString& text) {
    return Printable::escaped(collapsed(text));
}

QString PrintedBoxes::collapsed(const QString& text) {
    static const QRegularExpression kBreak(QStringLiteral("[ \\t]*[\\r\\n]+\\s*"));
    QString line = text.trimmed();
    line.replace(kBreak, QStringLiteral(" "));
    return line;
}
