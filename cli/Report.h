#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class MemoryControls;
class PortMap;
class RecordDownload;
class SelectionUpload;

// The values the command line prints on standard output: named values, each written as a
// key=value line or as one member of a JSON object. An unknown value is an empty text after the
// "=", null in JSON. In JSON each key keeps one type (a number, a text or a boolean, each or
// null), which the README lists; a boolean is 1 or 0 after the "=".
class Report {
public:
    struct Value {
        QString key;
        QJsonValue value;
        // The text after the "=" where it is not the value's own: the text the handheld sent
        // where JSON has null, or "off" for a disabled switch-off.
        std::optional<QString> line = std::nullopt;
    };
    using Values = QList<Value>;

    // The handheld's values as the status queries left them in the controls: battery, version,
    // serial number and every setting; a choice list gives its number and its caption.
    // batteryReadable: the battery reply held a number (a reply without one leaves 0 behind).
    static Values status(const MemoryControls& controls, bool batteryReadable);
    // The two counts of the handheld's statistics answer: numbers, or null (the text as it came
    // after the "=").
    static Values statistics(const QString& customCodes, const QString& records);
    // The file of the latest download, with the records received and those the handheld
    // announced; of the latest upload, with the selections it holds, those stored and those not
    // sent.
    static Values download(const RecordDownload& download, const QString& file);
    static Values upload(const SelectionUpload& upload, const QString& file);
    // A whole number as a number, any other text as null with the text after the "=".
    static Value number(const QString& key, const QString& text);

    // key=value lines, each ending in a line feed. Control characters in a value are written as
    // \xNN, so one value is always one line.
    static QString lines(const Values& values);
    static QString json(const Values& values);
    // The one JSON object a failed run prints with --json: its messages, joined, and its exit
    // status.
    static QString failure(const QStringList& messages, int exitCode);

    // COM1 to COM16 with the device each stands for, whether it is present, whether the settings
    // file names it, and which one the window last connected with (index, -1 for none).
    // With what the system knows of each present device: its link in /dev/serial/by-id, USB
    // vendor:product, serial number and driver (null in JSON where it knows nothing).
    static QString ports(const PortMap& map, int chosenIndex, bool asJson);
    // One line naming the COM numbers whose devices are present, with what is known of each.
    static QString presentPorts(const PortMap& map);
};
