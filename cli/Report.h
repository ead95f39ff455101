#pragma once

#include <QJsonValue>
#include <QList>
#include <QPair>
#include <QString>

class MapControls;
class PortMap;

// The values the command line prints on standard output: named values, each written as a
// key=value line or as one member of a JSON object. An unknown value is an empty text after the
// "=", null in JSON.
class Report {
public:
    using Values = QList<QPair<QString, QJsonValue>>;

    // The handheld's values as the status queries left them in the controls: battery, version,
    // serial number and every setting; a choice list gives its number and its caption.
    static Values status(const MapControls& controls);
    // The two counts of the handheld's statistics answer: numbers, or the text as it came.
    static Values statistics(const QString& customCodes, const QString& records);

    // key=value lines, each ending in a line feed. Control characters in a value are written as
    // \xNN, so one value is always one line.
    static QString lines(const Values& values);
    static QString json(const Values& values);

    // COM1 to COM16 with the device each stands for, whether it is present, whether the settings
    // file names it, and which one the window has chosen (index, -1 for none).
    // With what the system knows of each present device: its link in /dev/serial/by-id, USB
    // vendor:product, serial number and driver (null in JSON where it knows nothing).
    static QString ports(const PortMap& map, int chosenIndex, bool asJson);
    // One line naming the COM numbers whose devices are present, with what is known of each.
    static QString presentPorts(const PortMap& map);
};
