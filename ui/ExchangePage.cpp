#include "ui/ExchangePage.h"

#include "ui/Make.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ExchangePage::ExchangePage(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("FrameUebertragen"));

    QPushButton* leseErfassungen =
        Make::button(this, "LeseErfassungen", QStringLiteral("Read out records"));
    QLineEdit* pfadSpeichern = Make::lineEdit(this, "PfadSpeichern");
    QPushButton* pfadSpeichernWaehlen =
        Make::button(this, "PfadSpeichernWaehlen", QStringLiteral("..."));
    pfadSpeichernWaehlen->setToolTip(QStringLiteral("Select CSV file for saving"));

    QPushButton* generiereDaten =
        Make::button(this, "GeneriereDaten", QStringLiteral("Load selections"));
    QLineEdit* pfadLaden = Make::lineEdit(this, "PfadLaden");
    QPushButton* pfadLadenWaehlen = Make::button(this, "PfadLadenWaehlen", QStringLiteral("..."));
    pfadLadenWaehlen->setToolTip(QStringLiteral("Select CSV file for opening"));

    QPushButton* loescheErfassungen =
        Make::button(this, "LoescheErfassungen", QStringLiteral("Erase records"));
    QPushButton* loescheDaten =
        Make::button(this, "LoescheDaten", QStringLiteral("Erase selections"));
    QPushButton* leseDaten = Make::button(this, "LeseDaten", QStringLiteral("Read out selections"));
    QPushButton* statistik = Make::button(this, "Statistik", QStringLiteral("Statistic"));
    QLineEdit* outStatistik = Make::lineEdit(this, "OutStatistik");
    outStatistik->setAccessibleName(QStringLiteral("Statistics"));

    for (QPushButton* choose : {pfadSpeichernWaehlen, pfadLadenWaehlen}) {
        choose->setMaximumWidth(choose->fontMetrics().horizontalAdvance(QStringLiteral("...")) +
                                24);
        // Read out, "..." says nothing; the tool tip says what the button does.
        choose->setAccessibleName(choose->toolTip());
    }

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(4);
    grid->addWidget(leseErfassungen, 0, 0);
    grid->addWidget(
        Make::label(this, "Text_PfadSpeichern", QStringLiteral("save in:"), pfadSpeichern), 0, 1);
    grid->addWidget(pfadSpeichern, 0, 2);
    grid->addWidget(pfadSpeichernWaehlen, 0, 3);
    grid->addWidget(generiereDaten, 1, 0);
    grid->addWidget(Make::label(this, "Text_PfadLaden", QStringLiteral("read from:"), pfadLaden), 1,
                    1);
    grid->addWidget(pfadLaden, 1, 2);
    grid->addWidget(pfadLadenWaehlen, 1, 3);
    grid->setRowMinimumHeight(2, 8);
    grid->addWidget(loescheErfassungen, 3, 0);
    grid->addWidget(loescheDaten, 4, 0);
    grid->addWidget(leseDaten, 5, 0);
    grid->setRowMinimumHeight(6, 8);
    grid->addWidget(statistik, 7, 0);
    grid->addWidget(outStatistik, 7, 1, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(8, 1);

    m_focusOrder = {leseErfassungen, pfadSpeichern,    pfadSpeichernWaehlen, generiereDaten,
                    pfadLaden,       pfadLadenWaehlen, loescheErfassungen,   loescheDaten,
                    leseDaten,       statistik,        outStatistik};
}
