#include "exchange/MemoryCommands.h"

#include "exchange/PolledReply.h"
#include "link/Link.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"

void MemoryCommands::eraseRecords() {
    erase(QByteArrayLiteral("DEL E"));
}

void MemoryCommands::eraseSelections() {
    erase(QByteArrayLiteral("DEL T"));
}

void MemoryCommands::erase(const QByteArray& command) {
    const MessageBoxes::Answer answer = m_link.boxes().show(
        QStringLiteral("Do you really want to delete all data?"), QStringLiteral("Delete"),
        MessageBoxes::Icon::Question, MessageBoxes::Buttons::YesNo);
    if (answer == MessageBoxes::Answer::No)
        return;
    m_link.clearLog();
    m_link.sendLine(command); // a failed write ends the action silently
}

void MemoryCommands::readOutSelections() {
    m_link.clearLog();
    if (!m_link.sendLine(QByteArrayLiteral("REC")))
        sendFailed("The selections could not be requested");
}

void MemoryCommands::showStatistics() {
    m_link.clearLog();
    if (!m_link.sendLine(QByteArrayLiteral("STA"))) {
        sendFailed("The statistics could not be requested");
        return;
    }
    // Read until the whole line with its bar is there, so a reply in pieces is not shown cut
    // off, and a late line without one (the answer to an erase, say) does not hide the count.
    const QByteArray reply = PolledReply::read(
        m_link.port(), kStatisticsReads, [](const QByteArray& line) { return line.contains('|'); });
    const qsizetype bar = reply.indexOf('|');
    if (bar < 0)
        return; // no answer: the previous text stays
    // The records end at the line end; a line end that never came ends them at the text's end.
    qsizetype end = reply.indexOf("\r\n", bar + 1);
    if (end < 0)
        end = reply.endsWith('\r') ? reply.size() - 1 : reply.size();
    const QByteArray customCodes = reply.left(bar);
    const QByteArray records = reply.mid(bar + 1, end - bar - 1);
    m_controls.setText("OutStatistik",
                       QStringLiteral("Custom codes: %1, records: %2")
                           .arg(QString::fromLatin1(customCodes), QString::fromLatin1(records)));
}

void MemoryCommands::sendFailed(const char* what) {
    m_link.reportUnsent(
        QStringLiteral("%1: the port to the handheld is not open.").arg(QLatin1String(what)));
}
