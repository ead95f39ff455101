#include "ui/ProgressStrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <limits>

ProgressStrip::ProgressStrip(FramePacer& pacer, QWidget* parent) : QWidget(parent), m_pacer(pacer) {
    setObjectName(QStringLiteral("TransferProgress"));
    setAccessibleName(QStringLiteral("Transfer progress"));
    setAccessibleDescription(objectName());
    m_what = new QLabel(this);
    m_bar = new QProgressBar(this);
    m_bar->setFormat(QStringLiteral("%v of %m"));
    // A flat bar: the style's own one draws a gradient and stripes with a broad pen, which cost
    // about a millisecond and two helper threads for every step shown.
    m_bar->setStyleSheet(
        QStringLiteral("QProgressBar { border: 1px solid palette(mid); border-radius: 2px;"
                       " background: palette(base); text-align: center; }"
                       "QProgressBar::chunk { background: palette(highlight); }"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_what);
    layout->addWidget(m_bar, 1);
    m_what->setBuddy(m_bar);
    m_heldBack.setSingleShot(true);
    connect(&m_heldBack, &QTimer::timeout, this, &ProgressStrip::showLatest);
    QWidget::hide();
    pacer.attach(*this);
}

void ProgressStrip::show(const QString& what, qint64 done, qint64 total) {
    const bool news = isHidden() || what != m_latestWhat || total != m_latestTotal ||
                      done >= total || !m_shown.isValid();
    m_latestWhat = what;
    m_latestDone = done;
    m_latestTotal = total;
    if (news || m_shown.elapsed() >= kShowEveryMs) {
        showLatest();
        return;
    }
    if (!m_heldBack.isActive())
        m_heldBack.start(static_cast<int>(qMax<qint64>(0, kHeldBackMs - m_shown.elapsed())));
}

void ProgressStrip::showLatest() {
    m_heldBack.stop();
    m_showPending = true;
    // Counted from now, so that no report is shown more often however late the frame comes.
    m_shown.start();
    m_pacer.request();
}

void ProgressStrip::applyPending() {
    if (!m_showPending)
        return;
    m_showPending = false;
    // The bar counts in int; a count beyond that is shown in proportion.
    constexpr qint64 kMax = std::numeric_limits<int>::max();
    const qint64 scale = m_latestTotal > kMax ? m_latestTotal / kMax + 1 : 1;
    m_what->setText(m_latestWhat);
    // The bar would paint itself and bring it to the screen at once when its value changes how
    // it looks; it is painted with the rest of the frame instead, once updates are enabled again.
    m_bar->setUpdatesEnabled(false);
    m_bar->setRange(0, static_cast<int>(std::max<qint64>(m_latestTotal, 1) / scale));
    m_bar->setValue(static_cast<int>(std::min(m_latestDone, m_latestTotal) / scale));
    m_bar->setUpdatesEnabled(true);
    QWidget::show();
}

void ProgressStrip::hide() {
    m_heldBack.stop();
    m_showPending = false;
    QWidget::hide();
}
