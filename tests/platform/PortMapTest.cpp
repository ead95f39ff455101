// Which device each COM number opens, on lists of devices as a machine may have them.

#include "platform/PortMap.h"

#include "tests/support/MemorySettingsStore.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A laptop with built-in serial ports, the handheld's USB adapter and a modem on ACM: COM1 is the
// handheld's adapter, whatever the kernel lists first, and numbers count naturally.
TEST(PortMap, UsbAndAcmAdaptersComeBeforeTheBuiltInPorts) {
    const QStringList listed{u"/dev/ttyS0"_s,   u"/dev/ttyS10"_s, u"/dev/ttyUSB10"_s,
                             u"/dev/ttyACM0"_s, u"/dev/ttyS2"_s,  u"/dev/ttyUSB2"_s};
    const QStringList expected{u"/dev/ttyACM0"_s, u"/dev/ttyUSB2"_s, u"/dev/ttyUSB10"_s,
                               u"/dev/ttyS0"_s,   u"/dev/ttyS2"_s,   u"/dev/ttyS10"_s};
    // The same numbers under the C locale of a service as under a German desktop.
    for (const QLocale& locale :
         {QLocale(QLocale::C), QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        EXPECT_EQ(PortMap::inComOrder(listed), expected) << locale.name().toStdString();
    }
    QLocale::setDefault(QLocale::system());
    const QStringList ordered = PortMap::inComOrder(listed);

    MemorySettingsStore store;
    PortMap map(store);
    EXPECT_EQ(map.deviceFor(1, PortMap::inComOrder({u"/dev/ttyS0"_s, u"/dev/ttyUSB0"_s})),
              u"/dev/ttyUSB0"_s);
    EXPECT_EQ(map.deviceFor(2, ordered), u"/dev/ttyUSB2"_s);
    EXPECT_EQ(map.deviceFor(7, ordered), QString());
    EXPECT_EQ(map.deviceFor(0, ordered), QString());

    // A device the settings name for a number stands before the order.
    store.save(u"Ports"_s, u"COM1"_s, u"/dev/serial/by-id/handheld"_s);
    EXPECT_EQ(map.deviceFor(1, ordered), u"/dev/serial/by-id/handheld"_s);
    EXPECT_EQ(map.deviceFor(2, ordered), u"/dev/ttyUSB2"_s);
}

} // namespace
