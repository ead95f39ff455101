#include "exchange/SelectionUpload.h"

#include "exchange/CsvConversion.h"
#include "exchange/DataFile.h"
#include "exchange/TransferProgress.h"
#include "link/Answers.h"
#include "link/Link.h"
#include "link/LinkView.h"
#include "link/PolledReply.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"
#include "platform/Sleeper.h"

#include <optional>

namespace {

const QString kWhat = QStringLiteral("Selections sent");

// The lines that answer a "PUT ": any other line (a late reply to something sent before) is
// passed over.
bool answersPut(const QByteArray& line) {
    return Answers::toPut(line) != Answers::PutAnswer::None;
}

} // namespace

Outcome SelectionUpload::start() {
    m_link.clearLog();
    m_dataFile.close();
    m_total = 0;
    m_stored = 0;
    m_unacknowledged = 0;
    m_named.clear();
    m_withLineBreak.clear();
    m_lineBreaks = 0;

    qint64 total = 0;
    if (const Outcome opened = openSelectionFile(&total); opened != Outcome::Done)
        return opened;
    m_total = total;
    m_link.dropIncompleteLine(); // what would finish it, the waits below consume
    qint64 sent = 0;             // the dataset counter: lines handled so far, acknowledged or not
    while (const std::optional<QByteArray> line = m_dataFile.readLine()) {
        const qint64 number = sent + 1;
        m_progress.show(kWhat, number, total);
        if (const std::optional<Outcome> stopped = upload(*line, number, total))
            return *stopped;
        sent = number;
    }
    return finishAfter(sent, total);
}

Outcome SelectionUpload::openSelectionFile(qint64* total) {
    const QString path = m_controls.text(Control::PfadLaden);
    if (path.isEmpty()) {
        return m_link.showFailure(
            QStringLiteral("No selection file is chosen. Enter the file to load "
                           "beside \"read from:\", or choose one with \"...\"."),
            Outcome::FileError);
    }
    QString error;
    if (!m_dataFile.openForSelections(path, &error)) {
        return m_link.showFailure(
            QStringLiteral("The selections cannot be loaded. %1").arg(DataFile::sentence(error)),
            Outcome::FileError);
    }
    const std::optional<qint64> lines = m_dataFile.countLines(&error);
    if (!lines) {
        finish();
        return m_link.showFailure(
            QStringLiteral("The selections cannot be loaded. %1").arg(DataFile::sentence(error)),
            Outcome::FileError);
    }
    *total = *lines;
    return Outcome::Done;
}

std::optional<Outcome> SelectionUpload::upload(const QByteArray& line, qint64 number,
                                               qint64 total) {
    const qint64 sent = number - 1;
    if (line.contains('\n')) {
        // A line break inside a field (a spreadsheet cell of two lines) would end the command
        // there: the selection is not sent cut, and the operator is told.
        if (m_withLineBreak.size() < kNamedAtMost)
            m_withLineBreak.append(number);
        ++m_lineBreaks;
        return std::nullopt;
    }
    QByteArray reply;
    switch (sendSelection(CsvConversion::selectionToCommand(line), &reply)) {
    case Sent::Acknowledged:
        ++m_stored;
        break;
    case Sent::Unanswered:
        ++m_unacknowledged;
        if (m_named.size() < kNamedAtMost)
            m_named.append(number);
        break;
    case Sent::MemoryFull: {
        // The log keeps the report of the selection before: this one was not stored.
        finish();
        QString text = QStringLiteral("The handheld's memory is full. Selection %1 (line %1 of "
                                      "%2) was not stored.")
                           .arg(number)
                           .arg(total);
        if (number < total)
            text += QStringLiteral(" The %1 lines after it were not sent.").arg(total - number);
        return warn(withNotStored(text, sent));
    }
    case Sent::SendFailed:
        return sendFailed(number, total);
    }
    m_link.view().replaceLog("Dataset  " + QByteArray::number(number) + " - " + reply);
    return std::nullopt;
}

Outcome SelectionUpload::sendFailed(qint64 number, qint64 total) {
    finish();
    const qint64 sent = number - 1;
    if (!m_link.port().lossPending()) {
        return m_link.showFailure(
            QStringLiteral("Selection %1 of %2 could not be sent: the port to the "
                           "handheld is not open or no longer there. The upload "
                           "was stopped.")
                .arg(number)
                .arg(total),
            Outcome::PortFailure);
    }
    // The port was lost: the message about the lost connection tells this too.
    m_link.noteLoss(withNotStored(QStringLiteral("The selection upload was stopped at selection "
                                                 "%1 of %2; the %3 before it were sent.")
                                      .arg(number)
                                      .arg(total)
                                      .arg(sent),
                                  sent));
    return Outcome::PortLost;
}

Outcome SelectionUpload::finishAfter(qint64 sent, qint64 total) {
    const QString readError = m_dataFile.readError();
    finish();
    if (!readError.isEmpty()) {
        return m_link.showFailure(
            withNotStored(QStringLiteral("The upload was stopped after %1 of %2 selections. %3")
                              .arg(sent)
                              .arg(total)
                              .arg(DataFile::sentence(readError)),
                          sent),
            Outcome::FileError);
    }
    if (!notStoredText(sent).isEmpty())
        return warn(notStoredText(sent));
    return Outcome::Done;
}

QString SelectionUpload::withNotStored(const QString& text, qint64 sent) const {
    const QString notStored = notStoredText(sent);
    return notStored.isEmpty() ? text : text + QLatin1Char(' ') + notStored;
}

SelectionUpload::Sent SelectionUpload::sendSelection(const QByteArray& command, QByteArray* reply) {
    SerialPort& port = m_link.port();
    const Clock& clock = m_link.clock();
    reply->clear();
    QByteArray carried; // the start of a line that the last wait left incomplete
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        m_link.sleeper().sleepMs(kBeforeAttemptMs);
        // Input already waiting cannot answer the send about to go out. Before a repeat it is a
        // late answer to the send before, or the rest of one; an acknowledgement that came that
        // way counts, so an acknowledged selection is not sent twice.
        const PolledReply::WaitResult late = PolledReply::wait(port, clock, 0, answersPut, carried);
        if (attempt > 1 && late.answer) {
            *reply = *late.answer;
            return Answers::toPut(*reply) == Answers::PutAnswer::Stored ? Sent::Acknowledged
                                                                        : Sent::MemoryFull;
        }
        if (!m_link.sendLine(command))
            return Sent::SendFailed;
        const PolledReply::WaitResult heard =
            PolledReply::wait(port, clock, kWaitPerAttemptMs, answersPut);
        if (heard.answer) {
            *reply = *heard.answer;
            return Answers::toPut(*reply) == Answers::PutAnswer::Stored ? Sent::Acknowledged
                                                                        : Sent::MemoryFull;
        }
        *reply = heard.heard;
        carried = heard.heard.endsWith("\r\n") ? QByteArray() : heard.heard;
    }
    return Sent::Unanswered;
}

void SelectionUpload::finish() {
    m_dataFile.close();
    m_progress.hide();
}

QString SelectionUpload::notStoredText(qint64 sent) const {
    QStringList texts;
    if (m_lineBreaks > 0) {
        texts << QStringLiteral("%1 of the selections hold a line break inside a field, which no "
                                "command can carry, so they were not sent and are not stored. "
                                "Not sent: %2.")
                     .arg(m_lineBreaks)
                     .arg(listed(m_withLineBreak, m_lineBreaks));
    }
    if (m_unacknowledged > 0)
        texts << unacknowledgedText(sent - m_lineBreaks);
    return texts.join(QLatin1Char(' '));
}

QString SelectionUpload::unacknowledgedText(qint64 sent) const {
    return QStringLiteral("The handheld did not acknowledge %1 of the %2 selections sent, so they "
                          "may not be stored. Not acknowledged: %3.")
        .arg(m_unacknowledged)
        .arg(sent)
        .arg(listed(m_named, m_unacknowledged));
}

QString SelectionUpload::listed(const QList<qint64>& named, qint64 count) {
    QStringList numbers;
    for (const qint64 number : named)
        numbers << QString::number(number);
    QString list = numbers.join(QStringLiteral(", "));
    if (count > named.size())
        list += QStringLiteral(" and %1 more").arg(count - named.size());
    return list;
}

Outcome SelectionUpload::warn(const QString& text) {
    m_link.boxes().show(text, QString(), MessageBoxes::Icon::Warning, MessageBoxes::Buttons::Ok);
    return Outcome::CutShort;
}
