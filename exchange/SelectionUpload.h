#pragma once

#include "link/Outcome.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

class Controls;
class DataFile;
class Link;
class TransferProgress;

// "Load selections" (`GeneriereDaten`): sends every line of the selection file named in
// `PfadLaden` to the handheld as one "PUT " command, waiting for its "Ok" before the next.
//
// One blocking run on the window thread, from the first line to the last. Each line gets at most
// five sends, each after a 5 ms pause and followed by a wait of up to 2.05 s for the answer; a
// line the handheld never answers thus costs about 10.3 s. After each
// line the traffic log is replaced by "Dataset ", the line's number with one blank before it,
// " - " and the answer as read, and the progress shows the line's number of the file's total.
//
// The operator always learns when not everything was stored: "Memory full" ends the upload with a
// warning that names the selection not stored, and an upload with selections that were never
// acknowledged ends with a warning that names them; a port lost on the way leaves a note that the
// message about the lost connection includes. A complete upload ends without a message.
// The selection file is closed when the upload ends, however it ends.
class SelectionUpload {
public:
    SelectionUpload(Link& link, Controls& controls, DataFile& dataFile, TransferProgress& progress)
        : m_link(link), m_controls(controls), m_dataFile(dataFile), m_progress(progress) {}

    // The click handler of `GeneriereDaten`. Done when every selection was stored; CutShort when
    // some may not be.
    Outcome start();
    // Of the latest upload: the selections in the file, those the handheld acknowledged, and
    // those not sent for a line break inside a field.
    qint64 total() const { return m_total; }
    qint64 stored() const { return m_stored; }
    qint64 notSent() const { return m_lineBreaks; }

    static constexpr int kAttempts = 5;
    // How long each send waits for its acknowledgement (2.05 s).
    static constexpr qint64 kWaitPerAttemptMs = 2050;
    static constexpr int kBeforeAttemptMs = 5;
    // Not acknowledged selections named in the closing warning; more are only counted.
    static constexpr int kNamedAtMost = 20;

private:
    enum class Sent { Acknowledged, MemoryFull, Unanswered, SendFailed };

    // The steps of start(): the file opened and its lines counted; one line uploaded (nothing
    // while the upload goes on, else how it ended); the end after the last line.
    Outcome openSelectionFile(qint64* total);
    std::optional<Outcome> upload(const QByteArray& line, qint64 number, qint64 total);
    Outcome sendFailed(qint64 number, qint64 total);
    Outcome finishAfter(qint64 sent, qint64 total);
    // The text, followed by what the operator is told of the selections that may not be stored.
    QString withNotStored(const QString& text, qint64 sent) const;
    // Sends one selection until it is acknowledged or the attempts are spent; `reply` is the
    // answer as read for the last send.
    Sent sendSelection(const QByteArray& command, QByteArray* reply);
    // Ends the run: the file closed, the progress hidden.
    void finish();
    QString unacknowledgedText(qint64 sent) const;
    // The numbers named, "1, 2, 3", and how many more there are of `count`.
    static QString listed(const QList<qint64>& named, qint64 count);
    // What the operator is told of the selections that may not be stored; empty when none.
    QString notStoredText(qint64 sent) const;
    Outcome warn(const QString& text);

    Link& m_link;
    Controls& m_controls;
    DataFile& m_dataFile;
    TransferProgress& m_progress;

    qint64 m_total = 0;
    qint64 m_stored = 0;
    qint64 m_unacknowledged = 0;
    QList<qint64> m_named;         // the first kNamedAtMost of them
    qint64 m_lineBreaks = 0;       // selections not sent: a line break inside a field
    QList<qint64> m_withLineBreak; // the first kNamedAtMost of them
};
