// The port option on Windows: the system's COM names, COM1 to COM256, and nothing else.

#include "cli/CommandLine.h"

#include <gtest/gtest.h>

TEST(WindowsCommandLineTest, PortsAreTheSystemsComNames) {
    CommandLine::Request request;
    QString error;
    ASSERT_TRUE(
        CommandLine::readPort(QStringLiteral("com3"), QStringLiteral("--port"), &request, &error));
    EXPECT_EQ(request.comNumber, 3);

    // Beyond the window's list: the name, mapped to a free number for the run.
    CommandLine::Request high;
    ASSERT_TRUE(
        CommandLine::readPort(QStringLiteral("COM200"), QStringLiteral("--port"), &high, &error));
    EXPECT_EQ(high.comNumber, 0);
    EXPECT_EQ(high.device, QStringLiteral("COM200"));

    for (const char* wrong : {"COM0", "COM257", "/dev/ttyUSB0", "ttyUSB0", ""}) {
        CommandLine::Request refused;
        EXPECT_FALSE(CommandLine::readPort(QString::fromLatin1(wrong), QStringLiteral("--port"),
                                           &refused, &error))
            << wrong;
        EXPECT_EQ(error, QStringLiteral("--port takes COM1 to COM256, not \"%1\".")
                             .arg(QString::fromLatin1(wrong)));
    }
}
