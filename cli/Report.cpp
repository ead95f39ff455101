#include "cli/Report.h"

#include "cli/CommandLine.h"
#include "cli/Printable.h"
#include "config/ConfigValues.h"
#include "exchange/RecordDownload.h"
#include "exchange/SelectionUpload.h"
#include "platform/MemoryControls.h"
#include "platform/PortDetails.h"
#include "platform/PortMap.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

// A choice list's number (what the handheld reports) and the caption of the chosen item.
void addChoice(Report::Values* values, const MemoryControls& controls, ConfigValues::List list,
               const QString& key) {
    const Control name = ConfigValues::control(list);
    const int index = controls.currentIndex(name);
    if (index < 0) {
        values->append({key, QJsonValue::Null});
        values->append({key + QStringLiteral("_name"), QJsonValue::Null});
        return;
    }
    const QString item = controls.text(name);
    const qsizetype dash = item.indexOf(QLatin1String(" - "));
    values->append({key, index + ConfigValues::firstNumber(list)});
    values->append({key + QStringLiteral("_name"), dash >= 0 ? item.mid(dash + 3) : item});
}

QJsonValue checkValue(const MemoryControls& controls, Control control) {
    return controls.isChecked(control);
}

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// What the system knows of a device, as the port list shows it.
QStringList detailNotes(const PortDetails& details) {
    QStringList notes;
    if (!details.byId.isEmpty())
        notes << Printable::escaped(details.byId);
    if (!details.description.isEmpty())
        notes << Printable::escaped(details.description);
    if (!details.usb.isEmpty())
        notes << QStringLiteral("USB ") + details.usb;
    if (!details.serial.isEmpty())
        notes << QStringLiteral("serial number ") + Printable::escaped(details.serial);
    if (!details.driver.isEmpty())
        notes << QStringLiteral("driver ") + details.driver;
    return notes;
}

// COM1 to COM16, the window's list, and after them each port present beyond it: Windows gives
// its ports numbers up to 256 ("COM23"), and the command line reaches them all.
QList<int> listedNumbers(const QStringList& present) {
    QList<int> numbers;
    for (int number = 1; number <= CommandLine::kComNumbers; ++number)
        numbers << number;
    static const QRegularExpression kComName(QStringLiteral("^COM([0-9]+)$"));
    for (const QString& device : present) {
        const int number = kComName.match(device).captured(1).toInt();
        if (number > CommandLine::kComNumbers)
            numbers << number;
    }
    return numbers;
}

// "COM3", then the device it stands for where that is another name ("/dev/ttyUSB0"); on Windows
// a port is its own device.
QString portAndDevice(const QString& port, const QString& separator, const QString& device) {
    if (device.isEmpty() || device == port)
        return port;
    return port + separator + Printable::escaped(device);
}

QString plain(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return QString::number(value.toInteger());
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return QString();
    }
}

} // namespace

Report::Value Report::number(const QString& key, const QString& text) {
    bool whole = false;
    const qint64 number = text.toLongLong(&whole);
    if (whole)
        return {key, number, text};
    return {key, QJsonValue::Null, text};
}

Report::Values Report::status(const MemoryControls& controls, bool batteryReadable) {
    Values values;
    values.append({QStringLiteral("battery"), controls.hasValue(Control::akku) && batteryReadable
                                                  ? QJsonValue(controls.value(Control::akku))
                                                  : QJsonValue()});
    values.append({QStringLiteral("version"), textOrNull(controls.text(Control::Version))});
    values.append({QStringLiteral("serial_number"), textOrNull(controls.text(Control::SNR))});
    addChoice(&values, controls, ConfigValues::List::Tagtyp, QStringLiteral("tag_type"));
    // With the automatic switch-off disabled the window shows "aus" in a disabled field.
    const bool off = controls.isChecked(Control::Check_Offtime);
    values.append(
        off ? Value{QStringLiteral("switch_off_time"), QJsonValue::Null, QStringLiteral("off")}
            : number(QStringLiteral("switch_off_time"), controls.text(Control::Offtime)));
    values.append({QStringLiteral("switch_off_disabled"), off});
    values.append(number(QStringLiteral("read_timeout"), controls.text(Control::Readtimeout)));
    values.append(number(QStringLiteral("gps_timeout"), controls.text(Control::gpstimeout)));
    addChoice(&values, controls, ConfigValues::List::FdxCode, QStringLiteral("fdx_code"));
    values.append({QStringLiteral("buzzer"), checkValue(controls, Control::EnBeeper)});
    values.append({QStringLiteral("gps"), checkValue(controls, Control::EnGPS)});
    addChoice(&values, controls, ConfigValues::List::Betriebsart, QStringLiteral("mode"));
    addChoice(&values, controls, ConfigValues::List::Order, QStringLiteral("capture_order"));
    addChoice(&values, controls, ConfigValues::List::Sprache, QStringLiteral("language"));
    return values;
}

Report::Values Report::statistics(const QString& customCodes, const QString& records) {
    return {number(QStringLiteral("custom_codes"), customCodes),
            number(QStringLiteral("records"), records)};
}

Report::Values Report::download(const RecordDownload& download, const QString& file) {
    return {{QStringLiteral("file"), file},
            {QStringLiteral("records"), download.received()},
            {QStringLiteral("announced"), download.announced()}};
}

Report::Values Report::upload(const SelectionUpload& upload, const QString& file) {
    return {{QStringLiteral("file"), file},
            {QStringLiteral("selections"), upload.total()},
            {QStringLiteral("stored"), upload.stored()},
            {QStringLiteral("not_sent"), upload.notSent()}};
}

QString Report::lines(const Values& values) {
    QString out;
    for (const auto& [key, value, line] : values) {
        out += key + QLatin1Char('=') + Printable::escaped(line ? *line : plain(value)) +
               QLatin1Char('\n');
    }
    return out;
}

QString Report::json(const Values& values) {
    QJsonObject object;
    for (const Value& each : values)
        object.insert(each.key, each.value);
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QString Report::failure(const QStringList& messages, int exitCode) {
    return json({{QStringLiteral("error"), messages.join(QLatin1Char(' '))},
                 {QStringLiteral("exit_code"), exitCode}});
}

QString Report::ports(const PortMap& map, int chosenIndex, bool asJson) {
    const QStringList present = PortMap::presentDevices();
    QJsonArray array;
    QString out;
    for (const int number : listedNumbers(present)) {
        const QString port = QStringLiteral("COM%1").arg(number);
        const QString device = map.deviceFor(number, present);
        const bool isPresent =
            !device.isEmpty() && (present.contains(device) || QFileInfo::exists(device));
        const bool fromSettings = !map.mappedDevice(number).isEmpty();
        const bool chosen = number - 1 == chosenIndex;
        const PortDetails details = isPresent ? PortDetails::of(device) : PortDetails();
        if (asJson) {
            array.append(
                QJsonObject{{QStringLiteral("port"), port},
                            {QStringLiteral("device"), textOrNull(device)},
                            {QStringLiteral("present"), isPresent},
                            {QStringLiteral("from_settings"), fromSettings},
                            {QStringLiteral("chosen"), chosen},
                            {QStringLiteral("by_id"), textOrNull(details.byId)},
                            {QStringLiteral("description"), textOrNull(details.description)},
                            {QStringLiteral("usb"), textOrNull(details.usb)},
                            {QStringLiteral("serial_number"), textOrNull(details.serial)},
                            {QStringLiteral("driver"), textOrNull(details.driver)}});
            continue;
        }
        QStringList notes;
        if (device.isEmpty())
            notes << QStringLiteral("no serial device stands for this number");
        else
            notes << (isPresent ? QStringLiteral("present") : QStringLiteral("not present"));
        notes << detailNotes(details);
        if (fromSettings)
            notes << QStringLiteral("set in [Ports]");
        if (chosen)
            notes << QStringLiteral("last connected in the window");
        out += portAndDevice(port, QStringLiteral(": "), device) + QStringLiteral(" (") +
               notes.join(QStringLiteral(", ")) + QStringLiteral(")\n");
    }
    if (asJson)
        return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
    return out;
}

QString Report::presentPorts(const PortMap& map) {
    const QStringList present = PortMap::presentDevices();
    QStringList ports;
    for (const int number : listedNumbers(present)) {
        const QString device = map.deviceFor(number, present);
        if (device.isEmpty() || !(present.contains(device) || QFileInfo::exists(device)))
            continue;
        QString port =
            portAndDevice(QStringLiteral("COM%1").arg(number), QStringLiteral(" "), device);
        const QStringList notes = detailNotes(PortDetails::of(device));
        if (!notes.isEmpty())
            port += QStringLiteral(" (") + notes.join(QStringLiteral(", ")) + QLatin1Char(')');
        ports << port;
    }
    if (ports.isEmpty())
        return QStringLiteral("No serial device is present.");
    return QStringLiteral("The serial devices present: %1.").arg(ports.join(QStringLiteral("; ")));
}
