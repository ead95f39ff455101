#include "ui/OnlinePage.h"

#include "ui/Make.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// A large "}" that groups the buttons on its left with the fields on its right.
QLabel* brace(QWidget* parent, const char* name, int pointSize) {
    QLabel* label = Make::label(parent, name, QStringLiteral("}"));
    QFont font(QStringLiteral("Times New Roman"), pointSize);
    font.setStyleHint(QFont::Serif);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

OnlinePage::OnlinePage(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("FrameOnline"));

    QPushButton* readId = Make::button(this, "ReadId", QStringLiteral("Read ID"));
    QPushButton* scan = Make::button(this, "Scan", QStringLiteral("Scan barcode"));
    QLineEdit* idAnzeige = Make::receivedTextField(this, "IDAnzeige");
    idAnzeige->setAccessibleName(QStringLiteral("Read result"));
    QCheckBox* readCont = Make::checkBox(this, "ReadCont", QStringLiteral("read continously"));

    QPushButton* readBlock = Make::button(this, "ReadBlock", QStringLiteral("Read text block"));
    QPushButton* readBlockHex = Make::button(this, "ReadBlockHex", QStringLiteral("Read Hex"));
    QPushButton* writeBlock = Make::button(this, "WriteBlock", QStringLiteral("Write text block"));
    QPushButton* writeBlockHex = Make::button(this, "WriteBlockHex", QStringLiteral("Write Hex"));
    QLineEdit* blockAdress = Make::lineEdit(this, "BlockAdress");
    QLineEdit* blockEndAdress = Make::lineEdit(this, "BlockEndAdress");
    QLineEdit* key = Make::lineEdit(this, "Key", QStringLiteral("3B7D1F5A9C2E"));
    QLineEdit* writeData = Make::lineEdit(this, "WriteData");
    writeData->setToolTip(QStringLiteral("Daten als Text"));
    for (QLineEdit* number : {blockAdress, blockEndAdress})
        number->setMaximumWidth(60);

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(4);
    grid->addWidget(readId, 0, 0);
    grid->addWidget(scan, 1, 0);
    grid->addWidget(brace(this, "Brace_Id", 36), 0, 1, 2, 1);
    grid->addWidget(idAnzeige, 0, 2, 2, 4, Qt::AlignVCenter);
    grid->addWidget(readCont, 2, 0, 1, 2);
    grid->setRowMinimumHeight(3, 8);

    grid->addWidget(readBlock, 4, 0);
    grid->addWidget(readBlockHex, 5, 0);
    grid->addWidget(writeBlock, 6, 0);
    grid->addWidget(writeBlockHex, 7, 0);
    grid->addWidget(brace(this, "Brace_Block", 48), 4, 1, 4, 1);

    auto* range = new QHBoxLayout;
    range->setSpacing(8);
    range->addWidget(blockAdress);
    range->addWidget(
        Make::label(this, "Text_BlockEndAdress", QStringLiteral("to"), blockEndAdress));
    range->addWidget(blockEndAdress);
    range->addStretch();
    grid->addWidget(Make::label(this, "Text_BlockAdress", QStringLiteral("from"), blockAdress), 4,
                    2);
    grid->addLayout(range, 4, 3, 1, 3);
    grid->addWidget(Make::label(this, "Text_Key", QStringLiteral("Key:"), key), 5, 2);
    grid->addWidget(key, 5, 3, 1, 3);
    grid->addWidget(Make::label(this, "Text_WriteData", QStringLiteral("Content:"), writeData), 6,
                    2);
    grid->addWidget(writeData, 6, 3, 1, 3);
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(8, 1);

    m_focusOrder = {readId,     scan,          idAnzeige,   readCont,       readBlock, readBlockHex,
                    writeBlock, writeBlockHex, blockAdress, blockEndAdress, key,       writeData};
}
