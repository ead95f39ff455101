#include "cli/PortDetails.h"
#include "cli/PrintedBoxes.h"
#include "cli/Report.h"

#include <QDir>
#include <QFile>
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

} // namespace
