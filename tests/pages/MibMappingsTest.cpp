#include "pages/mib2/MibPages.h"

#include <gtest/gtest.h>

TEST(MibMappings, InterfaceLinkAndSpeed) {
    EXPECT_EQ(LinkStatusText("1"), QStringLiteral("Link"));
    EXPECT_EQ(LinkStatusText("2"), QStringLiteral("UnLink"));
    EXPECT_EQ(LinkStatusText("3"), QStringLiteral("Test"));
    EXPECT_EQ(LinkStatusText("7"), QStringLiteral("Unknown"));
    EXPECT_EQ(LinkStatusText(""), QStringLiteral("Unknown"));
    EXPECT_EQ(SpeedText("1000000000"), QStringLiteral("1000M"));
    EXPECT_EQ(SpeedText("10000000"), QStringLiteral("10M"));
    EXPECT_EQ(SpeedText("999999"), QStringLiteral("0M"));
    EXPECT_EQ(SpeedText("4294967295"), QStringLiteral("4294M")); // the Gauge32 ceiling
}

TEST(MibMappings, ForwardingStatusAndMac) {
    EXPECT_EQ(FdbStatusText("1"), QStringLiteral("Other"));
    EXPECT_EQ(FdbStatusText("2"), QStringLiteral("Invalid"));
    EXPECT_EQ(FdbStatusText("3"), QStringLiteral("Learn"));
    EXPECT_EQ(FdbStatusText("4"), QStringLiteral("Own"));
    EXPECT_EQ(FdbStatusText("5"), QStringLiteral("Static"));
    EXPECT_EQ(FdbStatusText("30"), QStringLiteral("Learn")); // the first character decides
    EXPECT_EQ(FdbStatusText("9"), QStringLiteral("9"));
    EXPECT_EQ(FdbStatusText(""), QString());
    // index: FDB id then six MAC octets
    EXPECT_EQ(FdbMacText({1, 0, 17, 34, 171, 205, 255}), QStringLiteral("00-11-22-AB-CD-FF"));
    EXPECT_EQ(FdbMacText({1, 2, 3}), QString());
    EXPECT_EQ(FdbMacText({0, 1, 2, 10, 11, 12}), QStringLiteral("00-01-02-0A-0B-0C"));
    // An agent's malformed index shows every digit rather than a wrong octet.
    EXPECT_EQ(FdbMacText({1, 0, 17, 34, 171, 205, 300}), QStringLiteral("00-11-22-AB-CD-12C"));
    // The row index read back into arcs, as the MAC column takes it.
    SSnmpRow row;
    row.suffix = QStringLiteral("1.0.27.255.4294967295.4294967296.x");
    EXPECT_EQ(row.IndexArcs(), (std::vector<uint32_t>{1, 0, 27, 255, 4294967295u, 0, 0}));
    row.suffix.clear();
    EXPECT_TRUE(row.IndexArcs().empty());
}

TEST(MibMappings, TcpStatesAndUptime) {
    EXPECT_EQ(TcpStateText("1"), QStringLiteral("closed"));
    EXPECT_EQ(TcpStateText("2"), QStringLiteral("listen"));
    EXPECT_EQ(TcpStateText("5"), QStringLiteral("established"));
    EXPECT_EQ(TcpStateText("12"), QStringLiteral("deleteTCB"));
    EXPECT_EQ(TcpStateText("13"), QStringLiteral("closed"));
    EXPECT_EQ(TcpStateText("x"), QStringLiteral("closed"));
    EXPECT_EQ(UptimeText("359999"), QStringLiteral("0 Hour 59 Min"));
    EXPECT_EQ(UptimeText("360000"), QStringLiteral("1 Hour 0 Min"));
    EXPECT_EQ(UptimeText("4294967295"), QStringLiteral("11930 Hour 27 Min"));
    EXPECT_EQ(UptimeText(""), QString());
}

TEST(MibMappings, SystemInfoChecks) {
    EXPECT_EQ(CheckSystemInfo("core switch", "rack 4"), QString());
    EXPECT_EQ(CheckSystemInfo("core.switch", "rack"), QStringLiteral("Invalid System Name."));
    EXPECT_EQ(CheckSystemInfo("core", "rack/4"), QStringLiteral("Invalid System Location."));
    // the name is checked first
    EXPECT_EQ(CheckSystemInfo("a?", "b?"), QStringLiteral("Invalid System Name."));
}
