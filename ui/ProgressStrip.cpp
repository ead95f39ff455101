#include "ui/ProgressStrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include <limits>

ProgressStrip::ProgressStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TransferProgress"));
    setAccessibleDescription(objectName());
    m_what = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_bar->setFormat(QStringLiteral("%v of %m"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_what);
    layout->addWidget(m_bar, 1);
    m_what->setBuddy(m_bar);
    QWidget::hide();
}

void ProgressStrip::show(const QString& what, qint64 done, qint64 total) {
    // The bar counts in int; a count beyond that is shown in proportion.
    constexpr qint64 kMax = std::numeric_limits<int>::max();
    const qint64 scale = total > kMax ? total / kMax + 1 : 1;
    m_what->setText(what);
    m_bar->setRange(0, static_cast<int>(std::max<qint64>(total, 1) / scale));
    m_bar->setValue(static_cast<int>(std::min(done, total) / scale));
    QWidget::show();
    repaint();
}

void ProgressStrip::hide() {
    QWidget::hide();
}
