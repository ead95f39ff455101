#include "cli/Profile.h"

#include "config/ConfigValues.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A setting: a whole number from low to high, or a boolean when high < low.
struct Setting {
    QString key;
    int low;
    int high;
};

Setting choice(const char* key, ConfigValues::List list) {
    const int first = ConfigValues::firstNumber(list);
    return {QString::fromLatin1(key), first, first + int(ConfigValues::items(list).size()) - 1};
}

QList<Setting> knownSettings() {
    using List = ConfigValues::List;
    return {choice("tag_type", List::Tagtyp),
            {QStringLiteral("switch_off_time"), 1, Profile::kMaxTime},
            {QStringLiteral("switch_off_disabled"), 1, 0},
            {QStringLiteral("read_timeout"), 0, Profile::kMaxTime},
            {QStringLiteral("gps_timeout"), 0, Profile::kMaxTime},
            choice("fdx_code", List::FdxCode),
            {QStringLiteral("buzzer"), 1, 0},
            {QStringLiteral("gps"), 1, 0},
            choice("mode", List::Betriebsart),
            choice("capture_order", List::Order),
            choice("language", List::Sprache)};
}

bool passedOver(const QString& key) {
    static const QStringList kValues = {QStringLiteral("battery"),
                                        QStringLiteral("version"),
                                        QStringLiteral("serial_number"),
                                        QStringLiteral("tag_type_name"),
                                        QStringLiteral("fdx_code_name"),
                                        QStringLiteral("mode_name"),
                                        QStringLiteral("capture_order_name"),
                                        QStringLiteral("language_name")};
    return kValues.contains(key);
}

// Why the value does not fit the setting; empty when it does.
QString misfit(const Setting& setting, const QJsonValue& value) {
    if (value.isNull())
        return QString();
    QString wanted;
    if (setting.high < setting.low) {
        if (value.isBool())
            return QString();
        wanted = QStringLiteral("true or false");
    } else {
        const double number = value.toDouble(-1.0);
        if (value.isDouble() && number == std::floor(number) && number >= setting.low &&
            number <= setting.high)
            return QString();
        wanted = QStringLiteral("a whole number from %1 to %2").arg(setting.low).arg(setting.high);
    }
    return QStringLiteral("The profile's %1 is %2: it takes %3, or null.")
        .arg(setting.key, Profile::shown(value), wanted);
}

} // namespace

QString Profile::read(const QString& file) {
    QFile in(file);
    const bool opened = file == QLatin1String("-") ? in.open(stdin, QIODevice::ReadOnly)
                                                   : in.open(QIODevice::ReadOnly);
    if (!opened)
        return QStringLiteral("The profile cannot be read: %1.").arg(in.errorString());
    const QByteArray text = in.readAll();
    if (in.error() != QFileDevice::NoError)
        return QStringLiteral("The profile cannot be read: %1.").arg(in.errorString());
    return take(text);
}

QString Profile::take(const QByteArray& text) {
    m_settings = QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError) {
        return QStringLiteral("The profile is not JSON: %1 at byte %2.")
            .arg(error.errorString())
            .arg(error.offset);
    }
    if (!document.isObject())
        return QStringLiteral("The profile is no JSON object, as status --json prints one.");
    const QJsonObject object = document.object();
    QJsonObject given;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (passedOver(it.key()))
            continue;
        const QList<Setting> known = knownSettings();
        const auto setting = std::find_if(known.begin(), known.end(),
                                          [&](const Setting& s) { return s.key == it.key(); });
        if (setting == known.end()) {
            return QStringLiteral("The profile has the key \"%1\", which is no setting; it takes "
                                  "the keys status --json prints.")
                .arg(it.key());
        }
        if (const QString why = misfit(*setting, it.value()); !why.isEmpty())
            return why;
        if (!it.value().isNull())
            given.insert(it.key(), it.value());
    }
    const QJsonValue disabled = given.value(QStringLiteral("switch_off_disabled"));
    const bool timeGiven = given.contains(QStringLiteral("switch_off_time"));
    if (disabled.toBool() && timeGiven) {
        return QStringLiteral("The profile's switch_off_time is %1 while switch_off_disabled is "
                              "true: it takes null then.")
            .arg(shown(given.value(QStringLiteral("switch_off_time"))));
    }
    // Enabled, with no time to switch off after: nothing to write.
    if (disabled.isBool() && !disabled.toBool() && !timeGiven)
        given.remove(QStringLiteral("switch_off_disabled"));
    m_settings = given;
    return QString();
}

QString Profile::shown(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case QJsonValue::String:
        return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))
            .mid(1)
            .chopped(1);
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    default:
        return QStringLiteral("null");
    }
}
