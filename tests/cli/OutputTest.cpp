#include "cli/PrintedBoxes.h"
#include "cli/Report.h"

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

} // namespace
