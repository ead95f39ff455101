#include "cli/PrintedBoxes.h"

#include "cli/Printable.h"
#include "cli/TerminalProgress.h"

#include <QRegularExpression>

MessageBoxes::Answer PrintedBoxes::show(const QString& text, const QString& title, Icon icon,
                                        Buttons buttons) {
    const Shown shown{text, title.isEmpty() ? applicationTitle() : title, icon, buttons};
    m_shown.append(shown);
    if (!m_judge || m_judge(shown))
        print(text);
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    return m_answerYes ? Answer::Yes : Answer::No;
}

void PrintedBoxes::print(const QString& text) {
    m_progress.endLine();
    QString line = QStringLiteral("quorvelino-cli: ");
    if (!m_subject.isEmpty())
        line += m_subject + QStringLiteral(": ");
    line += oneLine(text);
    std::fprintf(m_out, "%s\n", line.toLocal8Bit().constData());
    std::fflush(m_out);
}

QString PrintedBoxes::oneLine(const QString& text) {
    static const QRegularExpression kBreak(QStringLiteral("[ \\t]*[\\r\\n]+\\s*"));
    QString line = text.trimmed();
    line.replace(kBreak, QStringLiteral(" "));
    return Printable::escaped(line);
}
