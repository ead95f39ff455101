#pragma once

#include "exchange/TransferProgress.h"

#include <QWidget>

class QLabel;
class QProgressBar;

// The strip under the traffic log that shows how far a download or an upload has come. It is
// hidden while nothing is transferred. The window thread is busy during a transfer, so every
// change repaints at once.
class ProgressStrip final : public QWidget, public TransferProgress {
    Q_OBJECT

public:
    explicit ProgressStrip(QWidget* parent = nullptr);

    void show(const QString& what, qint64 done, qint64 total) override;
    void hide() override;

private:
    QLabel* m_what;
    QProgressBar* m_bar;
};
