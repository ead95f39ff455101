#pragma once

#include <QFrame>
#include <QList>

// The frame `FrameUebertragen` of the "Data exchange" page: record download and selection
// upload with their two file paths, erase, read-back and statistics. Disabled until a connect.
class ExchangePage final : public QFrame {
    Q_OBJECT

public:
    explicit ExchangePage(QWidget* parent = nullptr);

    // The controls that take keyboard focus, in the order the eye reads them.
    QList<QWidget*> focusOrder() const { return m_focusOrder; }

private:
    QList<QWidget*> m_focusOrder;
};
