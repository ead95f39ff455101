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

// Adds row `row` to the grid: the label (none for the features row), the row's controls, its
// button.
void addRow(QGridLayout& grid, int row, QLabel* label, std::initializer_list<QWidget*> controls,
            QPushButton* button) {
    if (label)
        grid.addWidget(label, row, 0);
    auto* line = new QHBoxLayout;
    line->setSpacing(8);
    for (QWidget* control : controls)
        line->addWidget(control);
    line->addStretch();
    grid.addLayout(line, row, 1);
    grid.addWidget(button, row, 2);
}

} // namespace

ConfigPage::ConfigPage(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("FrameConfig"));

    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(3);
    addClockRows(*grid);
    addTimeoutRows(*grid);
    addFeatureRows(*grid);
    addModeRows(*grid);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(kRows, 1);
}

void ConfigPage::addClockRows(QGridLayout& grid) {
    QLineEdit* zeit = Make::lineEdit(this, "Zeit");
    zeit->setMaximumWidth(140);
    QPushButton* setzeZeit = Make::button(this, "SetzeZeit", QStringLiteral("Set time"));
    QComboBox* tagtyp = list(this, "Tagtyp", false);
    QPushButton* tagSetzen = Make::button(this, "TagSetzen", QStringLiteral("Set tag type"));

    addRow(grid, 0, Make::label(this, "Text_Zeit", QStringLiteral("PC-Time:"), zeit), {zeit},
           setzeZeit);
    addRow(grid, 1, Make::label(this, "Text_Tagtyp", QStringLiteral("Transponder:"), tagtyp),
           {tagtyp}, tagSetzen);
    m_focusOrder << zeit << setzeZeit << tagtyp << tagSetzen;
}

void ConfigPage::addTimeoutRows(QGridLayout& grid) {
    QLineEdit* offtime = numberField(this, "Offtime");
    m_checkOfftime = Make::checkBox(this, "Check_Offtime", QStringLiteral("off"));
    QPushButton* offtimeSetzen =
        Make::button(this, "OfftimeSetzen", QStringLiteral("Set switch off time"));
    QLineEdit* readtimeout = numberField(this, "Readtimeout");
    QLineEdit* gpstimeout = numberField(this, "gpstimeout");
    QPushButton* readtimeoutSetzen =
        Make::button(this, "ReadtimeoutSetzen", QStringLiteral("Set timeout"));
    // Set apart from the read time-out's unit, which it follows on the same row.
    QLabel* gpsLabel =
        Make::label(this, "Text_gpstimeout", QStringLiteral("GPS timeout:"), gpstimeout);
    gpsLabel->setContentsMargins(16, 0, 0, 0);

    addRow(grid, 2, Make::label(this, "Text_Offtime", QStringLiteral("Switch off time:"), offtime),
           {offtime, Make::label(this, "Unit_Offtime", QStringLiteral("s")), m_checkOfftime},
           offtimeSetzen);
    addRow(grid, 3,
           Make::label(this, "Text_Readtimeout", QStringLiteral("read timeout:"), readtimeout),
           {readtimeout, Make::label(this, "Unit_Readtimeout", QStringLiteral("x 50ms")), gpsLabel,
            gpstimeout, Make::label(this, "Unit_gpstimeout", QStringLiteral("s"))},
           readtimeoutSetzen);
    m_focusOrder << offtime << m_checkOfftime << offtimeSetzen << readtimeout << gpstimeout
                 << readtimeoutSetzen;
}

void ConfigPage::addFeatureRows(QGridLayout& grid) {
    QComboBox* fdxCode = list(this, "FDXCode", true);
    QPushButton* fdxcodeSetzen =
        Make::button(this, "FdxcodeSetzen", QStringLiteral("Set FDX code"));
    QCheckBox* enBeeper = Make::checkBox(this, "EnBeeper", QStringLiteral("Enable buzzer "));
    QCheckBox* enGps = Make::checkBox(this, "EnGPS", QStringLiteral("GPS"));
    QPushButton* enBeeperSetzen =
        Make::button(this, "EnBeeperSetzen", QStringLiteral("Set features"));

    addRow(grid, 4, Make::label(this, "Text_FDXCode", QStringLiteral("FDX Code:"), fdxCode),
           {fdxCode}, fdxcodeSetzen);
    addRow(grid, 5, nullptr, {enBeeper, enGps}, enBeeperSetzen);
    m_focusOrder << fdxCode << fdxcodeSetzen << enBeeper << enGps << enBeeperSetzen;
}

void ConfigPage::addModeRows(QGridLayout& grid) {
    QComboBox* betriebsart = list(this, "Betriebsart", true);
    QComboBox* order = list(this, "Order", true);
    Make::labelForAssistiveTechnology(this, QStringLiteral("Capture order"), order);
    QPushButton* betriebsartSetzen =
        Make::button(this, "BetriebsartSetzen", QStringLiteral("Set mode"));
    QComboBox* sprache = list(this, "Sprache", true);
    QPushButton* spracheSetzen =
        Make::button(this, "SpracheSetzen", QStringLiteral("Set language"));

    addRow(grid, 6, Make::label(this, "Text_Betriebsart", QStringLiteral("Mode:"), betriebsart),
           {betriebsart, order}, betriebsartSetzen);
    addRow(grid, 7, Make::label(this, "Text_Sprache", QStringLiteral("Language:"), sprache),
           {sprache}, spracheSetzen);
    m_focusOrder << betriebsart << order << betriebsartSetzen << sprache << spracheSetzen;
}
