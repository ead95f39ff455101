#include "cli/InputWatch.h"
#include "cli/PrintedBoxes.h"
#include "cli/Profile.h"
#include "cli/Report.h"
#include "config/ConfigValues.h"
#include "platform/MemoryControls.h"
#include "platform/PortDetails.h"
#include "platform/SystemClock.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Texts the handheld sent (a version, a value quoted in a message) reach a terminal or a script
// that reads one value per line: no byte of theirs may end a line or drive the terminal.
TEST(OutputTest, TextFromTheHandheldCannotBreakALineOrDriveTheTerminal) {
    const QString sent = u"V2\r\n\x1b[2J\x07\x85ok \u00e4"_s;
    EXPECT_EQ(Report::lines({{u"version"_s, sent + u"\\x0a"_s}, {u"battery"_s, QJsonValue()}}),
              u"version=V2\\x0d\\x0a\\x1b[2J\\x07\\x85ok \u00e4\\\\x0a\nbattery=\n"_s);
    EXPECT_EQ(PrintedBoxes::oneLine(u"You may not open it. Add it once with\n\n    sudo usermod "
                                    u"-aG dialout\n\nthen log in again. "_s +
                                    sent),
              u"You may not open it. Add it once with sudo usermod -aG dialout then log in "
              u"again. V2 \\x1b[2J\\x07\\x85ok \u00e4"_s);
}

// A device named by another path (/dev/ttyUSB0 against /dev/serial/../ttyUSB0) is still found.
TEST(OutputTest, TheByIdLinkOfADeviceIsFoundWhateverPathNamesIt) {
    QTemporaryDir dir;
    const QString device = dir.filePath(u"ttyUSB7"_s);
    ASSERT_TRUE(QFile(device).open(QIODevice::WriteOnly));
    QDir(dir.path()).mkdir(u"by-id"_s);
    const QString link = dir.filePath(u"by-id/usb-0403_6001_A1-if00-port0"_s);
    ASSERT_TRUE(QFile::link(u"../ttyUSB7"_s, link));
    ASSERT_TRUE(QFile::link(u"../nothing"_s, dir.filePath(u"by-id/usb-dangling"_s)));
    EXPECT_EQ(PortDetails::linkIn(dir.filePath(u"by-id"_s), dir.filePath(u"by-id/../ttyUSB7"_s)),
              link);
    EXPECT_EQ(PortDetails::linkIn(dir.filePath(u"by-id"_s), dir.filePath(u"other"_s)), u""_s);
}

// Each key keeps its JSON type whatever the handheld sent; the line keeps the text it sent.
TEST(OutputTest, StatusValuesKeepTheirTypesAndUnreadableOnesAreNull) {
    MemoryControls controls;
    ConfigValues(controls).fillLists();
    controls.setValue(Control::akku, 0); // what "AKKU:abc" leaves
    controls.setText(Control::Readtimeout, u"20"_s);
    controls.setText(Control::gpstimeout, u"abc"_s);
    controls.setChecked(Control::Check_Offtime, true);
    controls.setChecked(Control::EnBeeper, true);
    QJsonObject json;
    QMap<QString, QString> lines;
    SystemClock clock;
    InputWatch watch(clock);
    watch.setZeile("AKKU:87");
    watch.setZeile("AKKU:abc");
    for (const Report::Value& v : Report::status(controls, watch.batteryReadable())) {
        json.insert(v.key, v.value);
        lines.insert(v.key, Report::lines({v}).section(u'=', 1).chopped(1));
    }
    const struct {
        const char* key;
        QJsonValue json;
        const char* line;
    } expected[] = {
        {"battery", QJsonValue::Null, ""},
        {"read_timeout", 20, "20"},
        {"gps_timeout", QJsonValue::Null, "abc"},
        {"switch_off_time", QJsonValue::Null, "off"},
        {"switch_off_disabled", true, "1"},
        {"buzzer", true, "1"},
        {"gps", false, "0"},
        {"tag_type", QJsonValue::Null, ""},
        {"version", QJsonValue::Null, ""},
    };
    for (const auto& e : expected) {
        const QString key = QString::fromLatin1(e.key);
        EXPECT_EQ(json.value(key), e.json) << e.key;
        EXPECT_EQ(lines.value(key), QString::fromLatin1(e.line)) << e.key;
    }
    EXPECT_EQ(Report::statistics(u"3"_s, u"x"_s).at(1).value, QJsonValue::Null);
    EXPECT_EQ(QJsonDocument::fromJson(Report::failure({u"A."_s, u"B."_s}, 4).toUtf8()).object(),
              (QJsonObject{{u"error"_s, u"A. B."_s}, {u"exit_code"_s, 4}}));
}

TEST(OutputTest, AProfileIsRefusedNamingTheKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"[1]", "no JSON object"},
        {"{\"tag_type\": 1,}", "not JSON"},
        {"{\"read_timout\": 20}", "\"read_timout\", which is no setting"},
        {"{\"read_timeout\": \"20\"}", "read_timeout is \"20\": it takes a whole number"},
        {"{\"fdx_code\": 9}", "fdx_code is 9: it takes a whole number from 1 to 8"},
        {"{\"switch_off_time\": 0}", "switch_off_time is 0"},
        {"{\"mode\": 1.5}", "mode is 1.5"},
        {"{\"gps\": 1}", "gps is 1: it takes true or false"},
        {"{\"switch_off_time\": 30, \"switch_off_disabled\": true}", "takes null then"},
    };
    for (const auto& [text, says] : cases) {
        Profile profile;
        const QString why = profile.take(QByteArray(text));
        EXPECT_TRUE(why.contains(QString::fromUtf8(says))) << text << ": " << why.toStdString();
    }
    Profile profile;
    EXPECT_EQ(profile.take(R"({"battery": 5, "mode_name": "x", "gps": null, "language": 3,
                              "switch_off_time": null, "switch_off_disabled": false})"),
              QString());
    EXPECT_EQ(profile.settings(), (QJsonObject{{u"language"_s, 3}}));
}

} // namespace
