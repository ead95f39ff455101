#include "ui/TopStrip.h"

#include "ui/Make.h"
#include "ui/PortBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kSerialNumberLength = 8;
constexpr int kLogoWidth = 200;
constexpr int kLogoHeight = 36;

} // namespace

TopStrip::TopStrip(QWidget* parent) : QWidget(parent) {
    m_port = new PortBox(this);
    Make::labelForAssistiveTechnology(this, QStringLiteral("Port"), m_port);
    m_port->setMinimumContentsLength(7);

    m_connect = Make::button(this, "Connect", QStringLiteral("Connect"));
    m_connect->setCheckable(true);

    m_akku = new QProgressBar(this);
    m_akku->setObjectName(QStringLiteral("akku"));
    m_akku->setRange(0, 100);
    m_akku->setValue(0);
    m_akku->setMaximumWidth(90);

    m_version = Make::lineEdit(this, "Version");
    // The operator types at most eight characters; a longer serial number the handheld reports
    // is shown whole.
    m_snr = Make::lineEdit(this, "SNR", QString(), kSerialNumberLength);
    m_setSnr = Make::button(this, "SetSnr", QStringLiteral("Set"));
    m_setSnr->hide();

    m_zeile = Make::receivedTextField(this, "Zeile");
    m_zeile->hide();
    // Never shown, yet it takes every reply line, a whole download's too: it keeps the text for
    // whoever reads it and lays none of it out.
    m_zeile->setEchoMode(QLineEdit::NoEcho);
    m_zeile->setAccessibleName(QStringLiteral("Last reply line"));

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setPixmap(QPixmap(QStringLiteral(":/quorvelino/logo.png")));
    m_picture->setFixedSize(kLogoWidth, kLogoHeight);
    m_picture->setAccessibleName(QStringLiteral("Quorvelino logo"));

    layOut();
}

void TopStrip::layOut() {
    auto* connection = new QVBoxLayout;
    connection->addWidget(m_port);
    connection->addWidget(m_connect);
    connection->addStretch();

    auto* status = new QGridLayout;
    status->addWidget(Make::label(this, "Text_akku", QStringLiteral("Power:"), m_akku), 0, 0);
    status->addWidget(m_akku, 0, 1, Qt::AlignLeft);
    status->addWidget(Make::label(this, "Text_Version", QStringLiteral("Version:"), m_version), 1,
                      0);
    status->addWidget(m_version, 1, 1, 1, 2);
    status->addWidget(Make::label(this, "Text_SNR", QStringLiteral("Serial No.:"), m_snr), 2, 0);
    status->addWidget(m_snr, 2, 1);
    status->addWidget(m_setSnr, 2, 2);
    status->setColumnStretch(1, 1);

    auto* logo = new QVBoxLayout;
    logo->addWidget(m_zeile);
    logo->addWidget(m_picture);
    logo->addStretch();

    auto* strip = new QHBoxLayout(this);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addLayout(connection);
    strip->addSpacing(12);
    strip->addLayout(status, 1);
    strip->addSpacing(12);
    strip->addLayout(logo);
}

QList<QWidget*> TopStrip::focusOrder() const {
    return {m_port, m_connect, m_version, m_snr, m_setSnr};
}
