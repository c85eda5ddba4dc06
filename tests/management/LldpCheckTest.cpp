// The LLDP pages' checks and identifier texts, without widgets.
#include "pages/management/Lldp.h"

#include <gtest/gtest.h>

TEST(LldpParameterCheck, RangesAndRelationsInOrder) {
    EXPECT_EQ(CheckLldpParameters("4", "30", "2", "2"), "");
    EXPECT_EQ(CheckLldpParameters("1", "30", "2", "2"),
              "The Message TX Hold Multipier should be 2-10");
    EXPECT_EQ(CheckLldpParameters("11", "x", "0", "0"),
              "The Message TX Hold Multipier should be 2-10");
    EXPECT_EQ(CheckLldpParameters("4", "4", "2", "1"), "The Message TX Interval should be 5-32768");
    EXPECT_EQ(CheckLldpParameters("2", "32769", "2", "1"),
              "The Message TX Interval should be 5-32768");
    // The product comes before the delays.
    EXPECT_EQ(CheckLldpParameters("10", "6554", "0", "2"),
              "(Message TX Interval * Message TX Hold Multiplier) > 65535.");
    EXPECT_EQ(CheckLldpParameters("10", "6553", "2", "2"), "");
    EXPECT_EQ(CheckLldpParameters("4", "30", "11", "2"), "The LLDP Reinit Delay should be 1-10");
    EXPECT_EQ(CheckLldpParameters("4", "30", "1", "0"), "The LLDP TX Delay should be 1-8192");
    EXPECT_EQ(CheckLldpParameters("2", "32767", "1", "8193"), "The LLDP TX Delay should be 1-8192");
    EXPECT_EQ(CheckLldpParameters("4", "40", "2", "10"), "");
    EXPECT_EQ(CheckLldpParameters("4", "40", "2", "11"),
              "LLDP TX Delay should be <= 0.25 * (Message TX Interval)");
}

TEST(LldpTexts, SubtypesOfChassisAndPort) {
    EXPECT_EQ(ChassisIdSubtypeText(1), "chassisComponent");
    EXPECT_EQ(ChassisIdSubtypeText(4), "macAddress");
    EXPECT_EQ(ChassisIdSubtypeText(7), "local");
    EXPECT_EQ(ChassisIdSubtypeText(8), "");
    EXPECT_EQ(PortIdSubtypeText(3), "macAddress");
    EXPECT_EQ(PortIdSubtypeText(6), "agentCircuitld");
    EXPECT_EQ(PortIdSubtypeText(0), "");
}

TEST(LldpTexts, IdentifiersAsAPersonReadsThem) {
    const QByteArray mac = QByteArray::fromHex("001daa000001");
    EXPECT_EQ(ChassisIdText(4, mac), "00-1D-AA-00-00-01");
    EXPECT_EQ(PortIdText(3, mac), "00-1D-AA-00-00-01");
    // The same octets under another subtype are not taken for a MAC.
    EXPECT_EQ(PortIdText(7, mac), "00 1D AA 00 00 01");
    EXPECT_EQ(ChassisIdText(4, QByteArray::fromHex("001daa")), "00 1D AA");
    const QByteArray ipv4 = QByteArray::fromHex("01c0000207");
    EXPECT_EQ(ChassisIdText(5, ipv4), "192.0.2.7");
    EXPECT_EQ(PortIdText(4, ipv4), "192.0.2.7");
    EXPECT_EQ(PortIdText(4, QByteArray::fromHex("0220010db8000000000000000000000003")),
              "2001:db8::3");
    EXPECT_EQ(ChassisIdText(5, QByteArray::fromHex("01c00002")), "01 C0 00 02");
    EXPECT_EQ(ChassisIdText(6, "eth0"), "eth0");
    EXPECT_EQ(PortIdText(5, "ge1/0/3"), "ge1/0/3");
    EXPECT_EQ(PortIdText(6, QByteArray::fromHex("010400000006")), "01 04 00 00 00 06");
    EXPECT_EQ(ChassisIdText(1, QStringLiteral("Gerät").toUtf8()), "Gerät");
    EXPECT_EQ(ChassisIdText(1, QByteArray("ab\tc")), "61 62 09 63");
    EXPECT_EQ(ChassisIdText(2, QByteArray()), "");
}
