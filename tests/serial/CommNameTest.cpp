#include "serial/CommName.h"

#include "serial/LineEvents.h"
#include "serial/SerialTypes.h"

#include <gtest/gtest.h>

TEST(CommNameTest, WindowsPortNamesMapToSerialDevices) {
    EXPECT_EQ(CommNameToDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(CommNameToDevicePath("COM4"), "/dev/ttyS3");
    EXPECT_EQ(CommNameToDevicePath("COM10"), "/dev/ttyS9");
    EXPECT_EQ(CommNameToDevicePath("com3"), "/dev/ttyS2");
    // The prefix the connect button puts in front, in both spellings.
    EXPECT_EQ(CommNameToDevicePath("//./COM4"), "/dev/ttyS3");
    EXPECT_EQ(CommNameToDevicePath("\\\\.\\COM4"), "/dev/ttyS3");
}

TEST(CommNameTest, PathsAndOtherNames) {
    EXPECT_EQ(CommNameToDevicePath("/dev/pts/7"), "/dev/pts/7");
    // The connect button prefixes whatever the port box holds, a full path included.
    EXPECT_EQ(CommNameToDevicePath("//.//dev/ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CommNameToDevicePath("//./ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(CommNameToDevicePath("ttyACM1"), "/dev/ttyACM1");
    // Not a COM number: no serial-device mapping, no arithmetic on garbage.
    EXPECT_EQ(CommNameToDevicePath("COM0"), "/dev/COM0");
    EXPECT_EQ(CommNameToDevicePath("COM"), "/dev/COM");
    EXPECT_EQ(CommNameToDevicePath("COM3x"), "/dev/COM3x");
    EXPECT_EQ(CommNameToDevicePath("COM-1"), "/dev/COM-1");
    EXPECT_EQ(CommNameToDevicePath(""), "");
    EXPECT_EQ(CommNameToDevicePath("//./"), "");
}

TEST(LineEventsTest, CounterChangesBecomeErrorAndModemBits) {
    TLineCounters before;
    before.Frame = 3;
    before.Rng = 1;
    TLineCounters after = before;
    EXPECT_EQ(CompareLineCounters(before, after).ErrorBits, 0u);
    EXPECT_EQ(CompareLineCounters(before, after).ModemBits, 0u);

    after.Frame = 4;
    after.Parity = 1;
    after.BufOverrun = 2;
    after.Dcd = 1;
    after.Cts = 9;  // CTS and DSR changes are not reported
    const TLineEvents e = CompareLineCounters(before, after);
    EXPECT_EQ(e.ErrorBits, CE_FRAME | CE_RXPARITY | CE_RXOVER);
    EXPECT_EQ(e.ModemBits, ME_RLSD);

    TLineCounters ring = before;
    ring.Rng = 2;
    ring.Overrun = 1;
    ring.Brk = 1;
    EXPECT_EQ(CompareLineCounters(before, ring).ModemBits, ME_RING);
    EXPECT_EQ(CompareLineCounters(before, ring).ErrorBits, CE_OVERRUN | CE_BREAK);
}
