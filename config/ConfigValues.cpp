#include "config/ConfigValues.h"

#include "platform/Controls.h"

#include <QString>
#include <limits>

Control ConfigValues::control(List list) {
    switch (list) {
    case List::Betriebsart:
        return Control::Betriebsart;
    case List::Order:
        return Control::Order;
    case List::Tagtyp:
        return Control::Tagtyp;
    case List::FdxCode:
        return Control::FDXCode;
    case List::Sprache:
        return Control::Sprache;
    }
    return Control::Tagtyp;
}

QStringList ConfigValues::items(List list) {
    switch (list) {
    case List::Betriebsart:
        return {QStringLiteral("1 - Verheiraten (V)"),
                QStringLiteral("2 - Verheiraten mit Info (VI)"), QStringLiteral("3 - Leerung (E)"),
                QStringLiteral("4 - Leerung mit Info (EI)")};
    case List::Order:
        return {QStringLiteral("0 - beliebig"), QStringLiteral("1 - Barcode - Transponder"),
                QStringLiteral("2 - Transponder - Barcode"),
                QStringLiteral("3 - Transponder - Transponder"),
                QStringLiteral("4 - Barcode - Barcode")};
    case List::Tagtyp:
        return {QStringLiteral("0 - All"),    QStringLiteral("1 - FDX-B"),
                QStringLiteral("2 - Unique"), QStringLiteral("3 - Hitag1/S"),
                QStringLiteral("4 - Hitag2"), QStringLiteral("5 - Tiris"),
                QStringLiteral("6 - Q5")};
    case List::FdxCode:
        return {QStringLiteral("1 - Hexadecimal"),  QStringLiteral("2 - ISO animal"),
                QStringLiteral("3 - ISO industry"), QStringLiteral("4 - BDE"),
                QStringLiteral("5 - ASCII"),        QStringLiteral("6 - Hex Invers"),
                QStringLiteral("7 - Decimal"),      QStringLiteral("8 - Hex bytewise invers")};
    case List::Sprache:
        return {QStringLiteral("0 - German"), QStringLiteral("1 - English"),
                QStringLiteral("2 - French"), QStringLiteral("3 - Polski")};
    }
    return {};
}

int ConfigValues::firstNumber(List list) {
    return list == List::FdxCode || list == List::Betriebsart ? 1 : 0;
}

void ConfigValues::fillLists() {
    for (List list : kLists)
        m_controls.addItems(control(list), items(list));
}

bool ConfigValues::selectReported(List list, int number) {
    // In 64 bits, so that no reported number can overflow on the way to an index.
    const qint64 index = qint64(number) - firstNumber(list);
    if (index < -1 || index > std::numeric_limits<int>::max())
        return false;
    return m_controls.setCurrentIndex(control(list), int(index));
}

void ConfigValues::setCheckValue(Feature feature, double number) {
    m_controls.setChecked(feature == Feature::Beeper ? Control::EnBeeper : Control::EnGPS,
                          number != 0);
}

void ConfigValues::showSwitchOffTime(const QByteArray& value) {
    const bool off = value.startsWith('0');
    // The box first, so that whatever its change notification does, the field ends as reported.
    m_controls.setChecked(Control::Check_Offtime, off);
    m_controls.setText(Control::Offtime, off ? QStringLiteral("aus") : QString::fromLatin1(value));
    m_controls.setEnabled(Control::Offtime, !off);
}

void ConfigValues::offBoxChanged(bool checked) {
    m_controls.setText(Control::Offtime, checked ? QStringLiteral("aus") : QStringLiteral("0"));
    m_controls.setEnabled(Control::Offtime, !checked);
}
