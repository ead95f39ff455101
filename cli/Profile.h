#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// A settings profile: the JSON object that `status --json` prints, read as the settings to write
// to a handheld.
//
// Each setting holds what the window's control for it offers: a choice list the number of one
// of its items, a time-out or the switch-off time a whole number the handheld keeps (16 bits),
// a feature a boolean; null stands for a value that was not read, and is not written. The values
// that are no settings (battery, version, serial_number, the _name captions) are passed over;
// any other key makes the profile invalid, so that a misspelt setting is never left unwritten
// without a word.
class Profile {
public:
    // Reads and checks the profile in the file, or in standard input for "-". An empty text when
    // it is valid, else why not, naming the key.
    QString read(const QString& file);
    // Checks the text of a profile; as read().
    QString take(const QByteArray& text);

    // The settings to write, by their keys in status --json, without the nulls.
    const QJsonObject& settings() const { return m_settings; }

    // A value as JSON writes it: 20, true, "abc", null.
    static QString shown(const QJsonValue& value);

    // The largest time-out and switch-off time the handheld keeps.
    static constexpr int kMaxTime = 65535;

private:
    QJsonObject m_settings;
};
