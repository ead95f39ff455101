#include "ui/ConfigPage.h"

#include "ui/Make.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kNumberWidth = 60;

QLineEdit* numberField(QWidget* parent, const char* name) {
    QLineEdit* field = Make::lineEdit(parent, name);
    field->setMaximumWidth(kNumberWidth);
    return field;
}

QComboBox* list(QWidget* parent, const char* name, bool editable) {
    QComboBox* box = Make::comboBox(parent, name, editable);
    box->setMinimumContentsLength(16);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

} // namespace

ConfigPage::ConfigPage(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("FrameConfig"));

    QLineEdit* zeit = Make::lineEdit(this, "Zeit");
    zeit->setMaximumWidth(140);
    QPushButton* setzeZeit = Make::button(this, "SetzeZeit", QStringLiteral("Set time"));

    QComboBox* tagtyp = list(this, "Tagtyp", false);
    QPushButton* tagSetzen = Make::button(this, "TagSetzen", QStringLiteral("Set tag type"));

    QLineEdit* offtime = numberField(this, "Offtime");
    m_checkOfftime = Make::checkBox(this, "Check_Offtime", QStringLiteral("off"));
    QPushButton* offtimeSetzen =
        Make::button(this, "OfftimeSetzen", QStringLiteral("Set switch off time"));

    QLineEdit* readtimeout = numberField(this, "Readtimeout");
    QLineEdit* gpstimeout = numberField(this, "gpstimeout");
    QPushButton* readtimeoutSetzen =
        Make::button(this, "ReadtimeoutSetzen", QStringLiteral("Set timeout"));

    QComboBox* fdxCode = list(this, "FDXCode", true);
    QPushButton* fdxcodeSetzen =
        Make::button(this, "FdxcodeSetzen", QStringLiteral("Set FDX code"));

    QCheckBox* enBeeper = Make::checkBox(this, "EnBeeper", QStringLiteral("Enable buzzer "));
    QCheckBox* enGps = Make::checkBox(this, "EnGPS", QStringLiteral("GPS"));
    QPushButton* enBeeperSetzen =
        Make::button(this, "EnBeeperSetzen", QStringLiteral("Set features"));

    QComboBox* betriebsart = list(this, "Betriebsart", true);
    QComboBox* order = list(this, "Order", true);
    Make::labelForAssistiveTechnology(this, QStringLiteral("Capture order"), order);
    QPushButton* betriebsartSetzen =
        Make::button(this, "BetriebsartSetzen", QStringLiteral("Set mode"));

    QComboBox* sprache = list(this, "Sprache", true);
    QPushButton* spracheSetzen =
        Make::button(this, "SpracheSetzen", QStringLiteral("Set language"));

    // Set apart from the read time-out's unit, which it follows on the same row.
    QLabel* gpsLabel =
        Make::label(this, "Text_gpstimeout", QStringLiteral("GPS timeout:"), gpstimeout);
    gpsLabel->setContentsMargins(16, 0, 0, 0);

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(3);
    int row = 0;
    // One row: the label (none for the features row), the row's controls, its button.
    const auto addRow = [&](QLabel* label, std::initializer_list<QWidget*> controls,
                            QPushButton* button) {
        if (label)
            grid->addWidget(label, row, 0);
        auto* line = new QHBoxLayout;
        line->setSpacing(8);
        for (QWidget* control : controls)
            line->addWidget(control);
        line->addStretch();
        grid->addLayout(line, row, 1);
        grid->addWidget(button, row, 2);
        ++row;
    };

    addRow(Make::label(this, "Text_Zeit", QStringLiteral("PC-Time:"), zeit), {zeit}, setzeZeit);
    addRow(Make::label(this, "Text_Tagtyp", QStringLiteral("Transponder:"), tagtyp), {tagtyp},
           tagSetzen);
    addRow(Make::label(this, "Text_Offtime", QStringLiteral("Switch off time:"), offtime),
           {offtime, Make::label(this, "Unit_Offtime", QStringLiteral("s")), m_checkOfftime},
           offtimeSetzen);
    addRow(Make::label(this, "Text_Readtimeout", QStringLiteral("read timeout:"), readtimeout),
           {readtimeout, Make::label(this, "Unit_Readtimeout", QStringLiteral("x 50ms")), gpsLabel,
            gpstimeout, Make::label(this, "Unit_gpstimeout", QStringLiteral("s"))},
           readtimeoutSetzen);
    addRow(Make::label(this, "Text_FDXCode", QStringLiteral("FDX Code:"), fdxCode), {fdxCode},
           fdxcodeSetzen);
    addRow(nullptr, {enBeeper, enGps}, enBeeperSetzen);
    addRow(Make::label(this, "Text_Betriebsart", QStringLiteral("Mode:"), betriebsart),
           {betriebsart, order}, betriebsartSetzen);
    addRow(Make::label(this, "Text_Sprache", QStringLiteral("Language:"), sprache), {sprache},
           spracheSetzen);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    m_focusOrder = {
        zeit,          setzeZeit,    tagtyp,         tagSetzen,         offtime, m_checkOfftime,
        offtimeSetzen, readtimeout,  gpstimeout,     readtimeoutSetzen, fdxCode, fdxcodeSetzen,
        enBeeper,      enGps,        enBeeperSetzen, betriebsart,       order,   betriebsartSetzen,
        sprache,       spracheSetzen};
}
