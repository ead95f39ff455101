#include "cli/ProfileWriter.h"

#include "app/HandlerSet.h"
#include "cli/InputWatch.h"
#include "cli/Profile.h"
#include "link/Answers.h"
#include "platform/MemoryControls.h"

#include <QElapsedTimer>
#include <algorithm>
#include <array>
#include <map>

// A button of the configuration page: its handler, the settings it writes (blank-separated), and
// the settings each of its answers stands for, in the order its lines go out. The answer to the
// buzzer's line is read and dropped by the handler itself, as in the window.
struct ProfileWriter::Button {
    Outcome (ConfigCommands::*handler)();
    const char* writes;
    std::array<const char*, 2> answers;
};

namespace {

bool same(const QJsonValue& a, const QJsonValue& b) {
    if (a.isDouble() && b.isDouble())
        return a.toDouble() == b.toDouble();
    return a == b;
}

QStringList keys(const char* blankSeparated) {
    return QString::fromLatin1(blankSeparated).split(QLatin1Char(' '));
}

} // namespace

Outcome ProfileWriter::apply(const Profile& profile, const std::function<bool()>& readBack) {
    if (!write(profile))
        return m_message.isEmpty() ? Outcome::PortLost : Outcome::NoAnswer;
    requery();
    if (!readBack())
        return Outcome::BadAnswer;
    m_message = notTaken(Report::status(m_controls, m_watch.batteryReadable()));
    return m_message.isEmpty() ? Outcome::Done : Outcome::ErrorAnswer;
}

bool ProfileWriter::write(const Profile& profile) {
    static const Button kButtons[] = {
        {&ConfigCommands::setTagType, "tag_type", {"tag_type", nullptr}},
        {&ConfigCommands::setSwitchOffTime,
         "switch_off_time switch_off_disabled",
         {"switch_off_time switch_off_disabled", nullptr}},
        {&ConfigCommands::setTimeouts, "read_timeout gps_timeout", {"read_timeout", "gps_timeout"}},
        {&ConfigCommands::setFdxCode, "fdx_code", {"fdx_code", nullptr}},
        {&ConfigCommands::setFeatures, "buzzer gps", {"gps", nullptr}},
        {&ConfigCommands::setMode, "mode capture_order", {"mode capture_order", nullptr}},
        {&ConfigCommands::setLanguage, "language", {"language", nullptr}},
    };
    setControls(profile.settings());
    for (const Report::Value& value : Report::status(m_controls, true))
        m_sent.insert(value.key, value.value);
    for (const Button& button : kButtons) {
        const QStringList writes = keys(button.writes);
        const bool needed = std::any_of(writes.begin(), writes.end(), [&](const QString& key) {
            return profile.settings().contains(key);
        });
        if (!needed)
            continue;
        m_written << writes;
        if (!press(button))
            return false;
    }
    return true;
}

void ProfileWriter::setControls(const QJsonObject& settings) {
    for (const ConfigValues::List list : ConfigValues::kLists) {
        static const std::map<ConfigValues::List, QString> kKeys = {
            {ConfigValues::List::Tagtyp, QStringLiteral("tag_type")},
            {ConfigValues::List::FdxCode, QStringLiteral("fdx_code")},
            {ConfigValues::List::Betriebsart, QStringLiteral("mode")},
            {ConfigValues::List::Order, QStringLiteral("capture_order")},
            {ConfigValues::List::Sprache, QStringLiteral("language")}};
        const QJsonValue number = settings.value(kKeys.at(list));
        if (number.isDouble())
            m_controls.setCurrentIndex(ConfigValues::control(list),
                                       number.toInt() - ConfigValues::firstNumber(list));
    }
    const auto text = [&](const char* key, Control control) {
        const QJsonValue number = settings.value(QString::fromLatin1(key));
        if (number.isDouble())
            m_controls.setText(control, QString::number(number.toInt()));
    };
    text("read_timeout", Control::Readtimeout);
    text("gps_timeout", Control::gpstimeout);
    const auto check = [&](const char* key, Control control) {
        const QJsonValue flag = settings.value(QString::fromLatin1(key));
        if (flag.isBool())
            m_controls.setChecked(control, flag.toBool());
    };
    check("buzzer", Control::EnBeeper);
    check("gps", Control::EnGPS);
    // The "off" box as the operator clicks it: its coupling fills the field ("aus", or "0" for
    // the time typed next).
    const bool timeGiven = settings.contains(QStringLiteral("switch_off_time"));
    if (timeGiven || settings.contains(QStringLiteral("switch_off_disabled"))) {
        const bool off = !timeGiven;
        m_controls.setChecked(Control::Check_Offtime, off);
        m_handlers.link.gate().run([this, off] { m_handlers.config.offBoxChanged(off); });
    }
    text("switch_off_time", Control::Offtime);
}

bool ProfileWriter::press(const Button& button) {
    const auto expected = std::count_if(button.answers.begin(), button.answers.end(),
                                        [](const char* keys) { return keys != nullptr; });
    m_watch.markAnswer();
    // The handler's outcome is not needed: a line that did not go out goes unanswered, and the
    // wait below ends with the lost connection or tells the silence.
    m_handlers.link.gate().run(
        [this, &button] { static_cast<void>((m_handlers.configCommands.*button.handler)()); });
    QElapsedTimer waited;
    waited.start();
    const bool ended = m_wait([&] {
        return m_watch.answers().size() >= expected || !connected() || waited.elapsed() > m_quietMs;
    });
    if (!ended || !connected())
        return false;
    const QList<QByteArray>& answers = m_watch.answers();
    for (qsizetype n = 0; n < std::min<qsizetype>(answers.size(), expected); ++n) {
        if (Answers::acknowledgement(answers.at(n)) == Answers::Ack::Done)
            continue;
        for (const QString& key : keys(button.answers.at(std::size_t(n))))
            m_refused.insert(key, QString::fromLatin1(answers.at(n).trimmed()));
    }
    if (answers.size() >= expected)
        return true;
    m_message = QStringLiteral("The handheld did not answer the setting of %1 within %2 "
                               "seconds, so it is not known whether it took it.")
                    .arg(keys(button.writes).join(QStringLiteral(" and ")))
                    .arg(m_quietMs / 1000);
    return false;
}

bool ProfileWriter::connected() const {
    return m_controls.isChecked(Control::Connect);
}

void ProfileWriter::requery() {
    // Values that no reply replaces read back as unknown, never as what was sent.
    for (const ConfigValues::List list : ConfigValues::kLists)
        m_controls.setCurrentIndex(ConfigValues::control(list), -1);
    for (const Control control : {Control::Offtime, Control::Readtimeout, Control::gpstimeout})
        m_controls.setText(control, QString());
    m_watch.restart();
    // A query that cannot be written leaves the status replies missing, which the read-back
    // tells; its outcome is not needed here.
    m_handlers.link.gate().run([this] { static_cast<void>(StatusChain::start(m_handlers.link)); });
}

QString ProfileWriter::notTaken(const Report::Values& readBack) const {
    QStringList named;
    for (const Report::Value& value : readBack) {
        const QJsonValue sent = m_sent.value(value.key);
        if (!m_written.contains(value.key) || sent.isNull())
            continue;
        QString why = QStringLiteral("sent ") + Profile::shown(sent);
        if (m_refused.contains(value.key))
            why += QStringLiteral(", answered \"%1\"").arg(m_refused.value(value.key));
        if (!same(sent, value.value))
            why += QStringLiteral(", reads ") + Profile::shown(value.value);
        else if (!m_refused.contains(value.key))
            continue;
        named << QStringLiteral("%1 (%2)").arg(value.key, why);
    }
    if (named.isEmpty())
        return QString();
    return QStringLiteral("The handheld did not take: %1.").arg(named.join(QStringLiteral(", ")));
}
