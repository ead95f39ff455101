#pragma once

#include "exchange/TransferProgress.h"
#include "ui/FramePacer.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// The strip under the traffic log that shows how far a download or an upload has come. It is
// hidden while nothing is transferred. It is painted at the frames of the window's FramePacer,
// together with the traffic log.
//
// A transfer may report its progress far more often than anyone can read it (a download at the
// full speed of a pseudo-terminal, a thousand acknowledged selections), and painting the bar
// costs more than handling a record. The strip therefore shows a report at the next frame when
// it starts something new (the strip was hidden, or the text or the total changed) or ends it
// (done reaches the total), and otherwise at most every kShowEveryMs. A report held back is shown
// with the first report after that time, which comes with a frame while records stream in, or
// kHeldBackMs after the last report shown when the line falls quiet: the strip's own timer then
// wakes the window only when no report came.
class ProgressStrip final : public QWidget, public TransferProgress, public FramePacer::Client {
    Q_OBJECT

public:
    ProgressStrip(FramePacer& pacer, QWidget* parent = nullptr);

    void show(const QString& what, qint64 done, qint64 total) override;
    void hide() override;
    void applyPending() override;

    static constexpr int kShowEveryMs = 250;
    static constexpr int kHeldBackMs = kShowEveryMs + FramePacer::kStreamFrameMs;

private:
    // The latest report is to be shown at the next frame.
    void showLatest();

    QLabel* m_what;
    QProgressBar* m_bar;
    QString m_latestWhat;
    qint64 m_latestDone = 0;
    qint64 m_latestTotal = 0;
    QElapsedTimer m_shown; // since the strip last showed a report
    QTimer m_heldBack;
    FramePacer& m_pacer;
    bool m_showPending = false;
};
