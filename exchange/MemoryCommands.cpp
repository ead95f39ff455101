#include "exchange/MemoryCommands.h"

#include "link/Link.h"
#include "link/PolledReply.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

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
    m_link.dropIncompleteLine(); // what would finish it, the wait below consumes
    if (!m_link.sendLine(QByteArrayLiteral("STA"))) {
        sendFailed("The statistics could not be requested");
        return;
    }
    // Only a whole count line answers: a reply in pieces is not shown cut off, and a late line
    // (the answer to an erase, a record) does not hide the count behind it.
    const PolledReply::Outcome reply = PolledReply::wait(
        m_link.port(), m_link.clock(), kStatisticsWaitMs, PolledReply::isCountReply);
    if (!reply.answer)
        return; // no answer: the previous text stays
    const QByteArray& line = *reply.answer;
    const qsizetype bar = line.indexOf('|');
    const qsizetype end = line.size() - 2; // the line without its CR LF
    const QByteArray customCodes = line.left(bar);
    const QByteArray records = line.mid(bar + 1, end - bar - 1);
    m_controls.setText("OutStatistik",
                       QStringLiteral("Custom codes: %1, records: %2")
                           .arg(QString::fromLatin1(customCodes), QString::fromLatin1(records)));
}

void MemoryCommands::sendFailed(const char* what) {
    m_link.reportUnsent(
        QStringLiteral("%1: the port to the handheld is not open.").arg(QLatin1String(what)));
}
