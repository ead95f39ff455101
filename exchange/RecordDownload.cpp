#include "exchange/RecordDownload.h"

#include "exchange/CsvConversion.h"
#include "exchange/DataFile.h"
#include "exchange/TransferProgress.h"
#include "link/Answers.h"
#include "link/Link.h"
#include "link/PolledReply.h"
#include "platform/Clock.h"
#include "platform/Controls.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialPort.h"

#include <algorithm>
#include <utility>

namespace {

const QString kWhat = QStringLiteral("Records received");

// The progress is repainted once per percent, so a long transfer is not slowed by repaints.
bool worthShowing(qint64 done, qint64 total) {
    return done >= total || done * 100 / total != (done - 1) * 100 / total;
}

} // namespace

Outcome RecordDownload::start() {
    m_link.clearLog();
    // A transfer still running is given up first, so that a new count below 1 cannot leave the
    // lines of the old one routed into a closed file.
    if (m_transferring)
        endTransfer(Outcome::CutShort);
    else if (m_link.replyMode() == ReplyMode::RecordDownload)
        m_link.setReplyMode(ReplyMode::Idle);
    m_dataFile.close();

    const QString path = m_controls.text(Control::PfadSpeichern);
    if (const Outcome opened = openRecordFile(path); opened != Outcome::Done)
        return opened;
    qint64 count = 0;
    if (const Outcome counted = askCount(&count); counted != Outcome::Done) {
        m_dataFile.close(); // a record file made here stays, empty
        return counted;
    }
    return requestRecords(path, count);
}

Outcome RecordDownload::openRecordFile(const QString& path) {
    if (path.isEmpty()) {
        return m_link.showFailure(
            QStringLiteral("No record file is chosen. Enter the file the records "
                           "are to be saved in beside \"save in:\", or choose one "
                           "with \"...\"."),
            Outcome::FileError);
    }
    QString error;
    if (!m_dataFile.openForRecords(path, &error)) {
        return m_link.showFailure(
            QStringLiteral("The records cannot be saved. %1").arg(DataFile::sentence(error)),
            Outcome::FileError);
    }
    return Outcome::Done;
}

Outcome RecordDownload::askCount(qint64* count) {
    // Records start on a line of their own: the start of a line received before (an answer cut
    // off by a disconnect) must not become the front of the first record.
    // When its end does come, it is the first line read below: the tail of a record ("9") or of
    // a status reply, which must not pass for a count.
    const bool tailMayCome = m_link.receiveBuffer().pendingSize() > 0;
    m_link.dropIncompleteLine();
    if (!m_link.sendLine(QByteArrayLiteral("STA"))) {
        return m_link.reportUnsent(QStringLiteral("The handheld could not be asked for its "
                                                  "records: the port to it is not open."));
    }
    // The answer is consumed here: it never reaches the log or the dispatcher. Lines before it (a
    // late reply to an earlier command) are passed over.
    const std::optional<QByteArray> answer =
        PolledReply::waitForCount(m_link.port(), m_link.clock(), {kCountWaitMs, tailMayCome, true});
    if (!answer) {
        if (!m_link.port().isOpen()) {
            // The port was lost during the wait: the message about the lost connection is the
            // one the operator gets.
            m_link.noteLoss(QStringLiteral("No records were requested."));
            return Outcome::PortLost;
        }
        // Silence, or half an answer, is no count: "no records present" would send the operator
        // away from records that are still in the handheld.
        m_link.boxes().show(QStringLiteral("The handheld did not answer when asked how many "
                                           "records it holds, so none were requested. Check that "
                                           "it is switched on, then try again."),
                            QString(), MessageBoxes::Icon::Warning, MessageBoxes::Buttons::Ok);
        return Outcome::NoAnswer;
    }
    const std::optional<qint64> announced = Answers::recordCount(*answer);
    if (!announced) {
        return m_link.showFailure(
            QStringLiteral("The handheld answered \"%1\" when asked how many "
                           "records it holds, which is no number of records the "
                           "tool can take. Nothing was requested.")
                .arg(QString::fromLatin1(answer->trimmed())),
            Outcome::BadAnswer);
    }
    if (*announced < 1) {
        m_link.boxes().show(QStringLiteral("There are no records present."), QString(),
                            MessageBoxes::Icon::Warning, MessageBoxes::Buttons::Ok);
        return Outcome::NoRecords;
    }
    *count = *announced;
    return Outcome::Done;
}

Outcome RecordDownload::requestRecords(const QString& path, qint64 count) {
    m_announced = count;
    m_received = 0;
    m_path = path;
    m_lastLineMs = m_clock.monotonicMs();
    m_transferring = true;
    m_transferOutcome = Outcome::Done;
    m_progress.show(kWhat, 0, m_announced);
    m_link.setReplyMode(ReplyMode::RecordDownload);
    if (!m_link.sendLine(QByteArrayLiteral("GET"))) {
        const Outcome unsent = m_link.reportUnsent(QStringLiteral("The records could not be "
                                                                  "requested: the port to the "
                                                                  "handheld is not open."));
        endTransfer(unsent);
        return unsent;
    }
    return Outcome::Done;
}

bool RecordDownload::transferring() const {
    return m_transferring && m_link.replyMode() == ReplyMode::RecordDownload;
}

bool RecordDownload::refuseWhileTransferring() {
    if (!transferring())
        return false;
    m_link.boxes().show(QStringLiteral("The record download into %1 is still running: %2 of the "
                                       "%3 records have arrived. Wait until it has finished, or "
                                       "disconnect to stop it, before sending the handheld "
                                       "anything else.")
                            .arg(m_path)
                            .arg(m_received)
                            .arg(m_announced),
                        QStringLiteral("Record download running"), MessageBoxes::Icon::Warning,
                        MessageBoxes::Buttons::Ok);
    return true;
}

HandlerResult RecordDownload::handleRecordLine(const QByteArray& line) {
    if (!m_transferring || fileTakenAway()) {
        // The record file was closed under the transfer (an upload started meanwhile); the
        // handheld's remaining lines are only logged from now on.
        const bool wasTransferring = m_transferring;
        endTransfer(Outcome::CutShort);
        if (!wasTransferring)
            return HandlerResult::ok();
        return HandlerResult::failure(
            QStringLiteral("The record download was interrupted after %1 of %2 records: another "
                           "data transfer closed the record file. %3")
                .arg(m_received)
                .arg(m_announced)
                .arg(keptText()));
    }

    m_dataFile.addLine(CsvConversion::recordToFileLine(line));
    ++m_received;
    m_lastLineMs = m_clock.monotonicMs();
    if (worthShowing(m_received, m_announced))
        m_progress.show(kWhat, m_received, m_announced);
    if (m_received < m_announced)
        return HandlerResult::ok();

    if (const HandlerResult written = writeRecords(); written.failed())
        return written;
    endTransfer(Outcome::Done);
    m_link.boxes().show(QStringLiteral("Transfer of records finished."), QString(),
                        MessageBoxes::Icon::Information, MessageBoxes::Buttons::Ok);
    return HandlerResult::ok();
}

HandlerResult RecordDownload::inputHandled() {
    return m_transferring ? writeRecords() : HandlerResult::ok();
}

HandlerResult RecordDownload::writeRecords() {
    const qsizetype waiting = m_dataFile.waitingLines();
    qsizetype kept = 0;
    QString error;
    if (m_dataFile.flush(&kept, &error))
        return HandlerResult::ok();
    // A file that cannot take one record will not take the next: stop, keep what it has.
    m_received -= waiting - kept;
    endTransfer(Outcome::FileError);
    return HandlerResult::failure(
        QStringLiteral("Record %1 of %2 could not be saved, so the download was stopped. %3 %4")
            .arg(m_received + 1)
            .arg(m_announced)
            .arg(DataFile::sentence(error), keptText()));
}

void RecordDownload::checkStall() {
    // A lost port is no silence of the handheld: the loss's own message says how far it came,
    // once the records received before it are written.
    if (!m_transferring || m_link.port().lossPending())
        return;
    if (m_link.replyMode() != ReplyMode::RecordDownload) {
        // The operator's disconnect ends a transfer without a word, also when the port has been
        // opened again since: it closed the record file. Anything else that took the reply mode
        // is told.
        if (m_link.port().isOpen() && !fileTakenAway())
            warnEndedEarly(QStringLiteral("another command took over the line"));
        else
            endTransfer(Outcome::CutShort);
        return;
    }
    if (fileTakenAway()) {
        warnEndedEarly(QStringLiteral("another data transfer closed the record file"));
        return;
    }
    if (!silentTooLong())
        return;
    // Time the window spent in a modal box is no silence of the handheld: records that came
    // meanwhile wait in the port. Handle them before deciding.
    if (m_link.port().waitForInput(0)) {
        m_link.receive();
        if (!transferring() || !silentTooLong())
            return;
    }
    endTransfer(Outcome::CutShort);
    m_link.boxes().show(QStringLiteral("The handheld stopped sending records: %1 of the %2 "
                                       "records it announced arrived, and none for %3 seconds. %4")
                            .arg(m_received)
                            .arg(m_announced)
                            .arg(stallLimitMs() / 1000)
                            .arg(keptText()),
                        QString(), MessageBoxes::Icon::Warning, MessageBoxes::Buttons::Ok);
}

qint64 RecordDownload::stallLimitMs() const {
    return m_received == 0 ? kFirstRecordMs : kStallMs;
}

bool RecordDownload::silentTooLong() const {
    // Counted from the latest byte: a slow handheld that sends a long record in pieces is busy.
    const qint64 heard = std::max(m_lastLineMs, m_link.lastInputMs());
    return m_clock.monotonicMs() - heard >= stallLimitMs();
}

void RecordDownload::warnEndedEarly(const QString& why) {
    endTransfer(Outcome::CutShort);
    m_link.boxes().show(
        QStringLiteral("The record download was interrupted after %1 of %2 records: %3. %4")
            .arg(m_received)
            .arg(m_announced)
            .arg(why, keptText()),
        QString(), MessageBoxes::Icon::Warning, MessageBoxes::Buttons::Ok);
}

QString RecordDownload::abandon() {
    if (!m_transferring)
        return QString();
    const bool served = m_link.replyMode() == ReplyMode::RecordDownload;
    const QString cause = fileTakenAway()
                              ? QStringLiteral(": another data transfer closed the record file")
                              : QString();
    endTransfer(Outcome::PortLost);
    if (!served)
        return QString(); // another command had taken the reply mode: nothing was running
    return QStringLiteral("The record download was interrupted after %1 of %2 records%3. %4")
        .arg(m_received)
        .arg(m_announced)
        .arg(cause, keptText());
}

void RecordDownload::endTransfer(Outcome outcome) {
    if (m_transferring)
        m_transferOutcome = outcome;
    m_transferring = false;
    if (m_link.replyMode() == ReplyMode::RecordDownload)
        m_link.setReplyMode(ReplyMode::Idle);
    if (m_dataFile.kind() == DataFile::Kind::Records)
        m_dataFile.close();
    m_progress.hide();
}

bool RecordDownload::fileTakenAway() const {
    return m_dataFile.kind() != DataFile::Kind::Records;
}

QString RecordDownload::keptText() const {
    return m_keptText ? m_keptText(m_path, m_received) : keptInFile(m_path);
}

QString RecordDownload::keptInFile(const QString& path) {
    return QStringLiteral("What arrived before is kept in the file %1.").arg(path);
}
