#include "exchange/MemoryCommands.h"

#include "link/Answers.h"
#include "link/Link.h"
#include "link/PolledReply.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

Outcome MemoryCommands::eraseRecords() {
    return erase(QByteArrayLiteral("DEL E"));
}

Outcome MemoryCommands::eraseSelections() {
    return erase(QByteArrayLiteral("DEL T"));
}

Outcome MemoryCommands::erase(const QByteArray& command) {
    const MessageBoxes::Answer answer = m_link.boxes().show(
        QStringLiteral("Do you really want to delete all data?"), QStringLiteral("Delete"),
        MessageBoxes::Icon::Question, MessageBoxes::Buttons::YesNo);
    if (answer == MessageBoxes::Answer::No)
        return Outcome::Declined;
    m_link.clearLog();
    // A failed write ends the action silently; a lost port is told by its own message.
    if (m_link.sendLine(command))
        return Outcome::Done;
    return m_link.port().lossPending() ? Outcome::PortLost : Outcome::PortFailure;
}

Outcome MemoryCommands::readOutSelections() {
    m_link.clearLog();
    if (!m_link.sendLine(QByteArrayLiteral("REC")))
        return sendFailed("The selections could not be requested");
    return Outcome::Done;
}

MemoryCommands::Statistics MemoryCommands::showStatistics() {
    m_link.clearLog();
    m_link.dropIncompleteLine(); // what would finish it, the wait below consumes
    if (!m_link.sendLine(QByteArrayLiteral("STA")))
        return {sendFailed("The statistics could not be requested"), {}, {}};
    // Only a whole count line answers: a reply in pieces is not shown cut off, and a late line
    // (the answer to an erase, a record) does not hide the count behind it.
    const std::optional<QByteArray> line =
        PolledReply::waitForCount(m_link.port(), m_link.clock(), {kStatisticsWaitMs});
    if (!line) // no answer: the previous text stays
        return {m_link.port().lossPending() ? Outcome::PortLost : Outcome::NoAnswer, {}, {}};
    const Answers::Counts numbers = Answers::counts(*line);
    const Statistics counted{Outcome::Done, QString::fromLatin1(numbers.customCodes),
                             QString::fromLatin1(numbers.records)};
    m_controls.setText(
        Control::OutStatistik,
        QStringLiteral("Custom codes: %1, records: %2").arg(counted.customCodes, counted.records));
    return counted;
}

Outcome MemoryCommands::sendFailed(const char* what) {
    return m_link.reportUnsent(
        QStringLiteral("%1: the port to the handheld is not open.").arg(QLatin1String(what)));
}
