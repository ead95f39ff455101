// What the Windows adapter makes of the system's words: a device instance ID's VID:PID and serial
// number, and the operator's message for a COM port that cannot be opened. Pure, so it runs
// everywhere.

#include "platform/ComOpenFailure.h"
#include "platform/UsbInstanceId.h"

#include <gtest/gtest.h>

TEST(UsbInstanceId, ReadsVendorProductAndSerialOfTheUsbAndFtdiForms) {
    const UsbInstanceId usb =
        UsbInstanceId::parse(QStringLiteral("USB\\VID_0403&PID_6001\\A1B2C3"));
    EXPECT_EQ(usb.usb, QStringLiteral("0403:6001"));
    EXPECT_EQ(usb.serial, QStringLiteral("A1B2C3"));

    const UsbInstanceId ftdi =
        UsbInstanceId::parse(QStringLiteral("FTDIBUS\\VID_0403+PID_6015+DN05XYZA\\0000"));
    EXPECT_EQ(ftdi.usb, QStringLiteral("0403:6015"));
    EXPECT_EQ(ftdi.serial, QStringLiteral("DN05XYZA"));

    // Hexadecimal digits as Windows writes them, shown in lower case as on Linux.
    EXPECT_EQ(UsbInstanceId::parse(QStringLiteral("USB\\VID_1A86&PID_7523\\5&2B3C&0&2")).usb,
              QStringLiteral("1a86:7523"));
}

TEST(UsbInstanceId, AMadeUpInstancePartOrABuiltInPortHasNoSerialNumber) {
    const UsbInstanceId madeUp =
        UsbInstanceId::parse(QStringLiteral("USB\\VID_1A86&PID_7523\\5&2B3C&0&2"));
    EXPECT_TRUE(madeUp.serial.isEmpty());
    // A composite device's interface: the serial number is the parent's, not in this ID.
    EXPECT_TRUE(UsbInstanceId::parse(QStringLiteral("USB\\VID_2341&PID_0043&MI_00\\6&1A2B&0&0000"))
                    .serial.isEmpty());
    const UsbInstanceId builtIn = UsbInstanceId::parse(QStringLiteral("ACPI\\PNP0501\\1"));
    EXPECT_TRUE(builtIn.usb.isEmpty());
    EXPECT_TRUE(builtIn.serial.isEmpty());
}

TEST(ComOpenFailure, NamesTheCauseInPlainWords) {
    using ComOpenFailure::Cause;
    EXPECT_EQ(ComOpenFailure::causeOf(2), Cause::Missing); // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(ComOpenFailure::causeOf(5), Cause::Busy);    // ERROR_ACCESS_DENIED
    EXPECT_EQ(ComOpenFailure::causeOf(87), Cause::Other);  // ERROR_INVALID_PARAMETER

    const QString busy = ComOpenFailure::describe(3, QStringLiteral("COM3"), Cause::Busy,
                                                  QStringLiteral("Access is denied."), {});
    EXPECT_TRUE(busy.startsWith(QStringLiteral("COM3 is in use by another program")))
        << busy.toStdString();

    const QString missing =
        ComOpenFailure::describe(12, QStringLiteral("COM12"), Cause::Missing, QString(),
                                 {QStringLiteral("COM1"), QStringLiteral("COM4")});
    EXPECT_TRUE(missing.startsWith(QStringLiteral("COM12 is not present")))
        << missing.toStdString();
    EXPECT_TRUE(missing.endsWith(QStringLiteral("The COM ports present: COM1, COM4.")))
        << missing.toStdString();
    EXPECT_TRUE(ComOpenFailure::describe(2, QStringLiteral("COM2"), Cause::Missing, QString(), {})
                    .endsWith(QStringLiteral("No COM port is present.")));

    EXPECT_EQ(ComOpenFailure::describe(1, QStringLiteral("COM7"), Cause::Other,
                                       QStringLiteral("The parameter is incorrect."), {}),
              QStringLiteral("COM1 (COM7) could not be opened: The parameter is incorrect."));
}
