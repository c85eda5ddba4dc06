// The traffic pages' checks, without widgets.
#include "pages/traffic/Bandwidth.h"
#include "pages/traffic/Igmp.h"
#include "pages/traffic/PortMirror.h"
#include "pages/traffic/StaticMac.h"
#include "pages/traffic/TrafficCommon.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Flags(int ports, std::initializer_list<int> on) {
    std::vector<int> flags(static_cast<size_t>(ports), 0);
    for (int p : on)
        flags[static_cast<size_t>(p - 1)] = 1;
    return flags;
}

// Ports 5 and 6 form group 1, 9 to 11 group 3.
std::vector<int> Lags(int ports = 10) {
    std::vector<int> lag(static_cast<size_t>(ports), 0);
    lag[4] = lag[5] = 1;
    if (ports >= 11)
        lag[8] = lag[9] = lag[10] = 3;
    return lag;
}

} // namespace

TEST(TrafficChecks, SplitGroupFindsLinksTakenInPart) {
    const auto lag = Lags(12);
    EXPECT_EQ(SplitGroup(lag, Flags(12, {})), 0);
    EXPECT_EQ(SplitGroup(lag, Flags(12, {1, 2, 5, 6})), 0);
    EXPECT_EQ(SplitGroup(lag, Flags(12, {6})), 1);
    EXPECT_EQ(SplitGroup(lag, Flags(12, {5, 6, 9, 10})), 3);
    // Fewer flags than ports count as unselected.
    EXPECT_EQ(SplitGroup(lag, Flags(5, {5})), 1);
}

TEST(TrafficChecks, MirrorChecksInOrder) {
    SMirrorSettings s;
    s.lagOfPort = Lags();
    s.ingress = Flags(10, {});
    s.egress = Flags(10, {});
    s.target = 1;
    EXPECT_EQ(CheckMirror(s), ""); // disabled, nothing mirrored
    s.enabled = true;
    EXPECT_EQ(CheckMirror(s), "Please select at least one source port.");
    s.egress = Flags(10, {1, 2});
    EXPECT_EQ(CheckMirror(s), "The target port cannot be a source port.");
    s.enabled = false; // a target among the sources is refused even while disabled
    EXPECT_EQ(CheckMirror(s), "The target port cannot be a source port.");
    s.enabled = true;
    s.egress = Flags(10, {2});
    s.target = 5;
    EXPECT_EQ(CheckMirror(s), "A member of an aggregated link cannot be the target port.");
    s.enabled = false; // a disabled session may keep such a target
    EXPECT_EQ(CheckMirror(s), "");
    s.enabled = true;
    s.target = 3;
    s.ingress = Flags(10, {6});
    EXPECT_EQ(CheckMirror(s),
              "The source ports must take all or none of the ports of aggregated link 1.");
    s.ingress = Flags(10, {5, 6});
    EXPECT_EQ(CheckMirror(s), "");
    s.egress = Flags(10, {2, 5});
    EXPECT_NE(CheckMirror(s), "");
}

TEST(TrafficChecks, BandwidthRangesAndLinks) {
    SBandwidthEntry e{1, 4, "0", "1000000", "1024000", Lags()};
    EXPECT_EQ(CheckBandwidth(e), "");
    e.fromPort = 5;
    EXPECT_EQ(CheckBandwidth(e), "The From Port must not be greater than the To Port.");
    e.fromPort = 1;
    for (const char* bad : {"", "-1", "1000001", "12k"}) {
        e.ingress = bad;
        EXPECT_EQ(CheckBandwidth(e), "Invalid ingress rate (0 - 1000000 Kbps, 0 for no limit).")
            << bad;
    }
    e.ingress = " 64 ";
    e.egress = "1000001";
    EXPECT_EQ(CheckBandwidth(e), "Invalid egress rate (0 - 1000000 Kbps, 0 for no limit).");
    e.egress = "0";
    e.stormRate = "1024001";
    EXPECT_EQ(CheckBandwidth(e), "Invalid storm control rate (0 - 1024000 Kbps, 0 for unlimited).");
    e.stormRate = "0";
    e.toPort = 5; // takes port 5 without port 6
    EXPECT_EQ(CheckBandwidth(e),
              "The ports must take all or none of the ports of aggregated link 1.");
    e.toPort = 6;
    EXPECT_EQ(CheckBandwidth(e), "");
}

TEST(TrafficChecks, BandwidthTexts) {
    EXPECT_EQ(StormTypeText(1), "None");
    EXPECT_EQ(StormTypeText(6), "Broadcast+Unknow Unicast");
    EXPECT_EQ(StormTypeText(8), "Broadcast+Multicast+Unknown Unicast");
    EXPECT_EQ(StormTypeText(9), "9");
    EXPECT_EQ(RateText("0", "unlimited"), "unlimited");
    EXPECT_EQ(RateText("640", "unlimited"), "640");
}

TEST(TrafficChecks, ModelsWithMirroringAndBandwidthControl) {
    EXPECT_TRUE(ModelHasMirroring("NGX-4600-20"));
    EXPECT_TRUE(ModelHasMirroring("NSW-4410-28P B1"));
    EXPECT_FALSE(ModelHasMirroring("NSW-4410-28P"));
    EXPECT_FALSE(ModelHasMirroring("NSW-4410-52 B1"));
    EXPECT_TRUE(ModelHasBandwidthControl("NSW-4410-52 B1"));
    EXPECT_FALSE(ModelHasBandwidthControl("NGX-4600-20"));
    EXPECT_FALSE(ModelHasBandwidthControl("nsw-4410-28 b1")); // names compare exactly
}

TEST(TrafficChecks, IgmpEntries) {
    EXPECT_EQ(CheckIgmpGlobal("130"), "");
    EXPECT_EQ(CheckIgmpGlobal("1225"), "");
    for (const char* bad : {"129", "1226", "", "abc"})
        EXPECT_EQ(CheckIgmpGlobal(bad), "Invalid Host Timeout (130 - 1225 seconds).") << bad;
    EXPECT_EQ(CheckIgmpVlan("4094"), "");
    EXPECT_EQ(CheckIgmpVlan(""), "Please select a VLAN first.");
}

TEST(TrafficChecks, StaticMacEntries) {
    SStaticMacTable table;
    table.vlans = {1, 20};
    table.entries = {{1, "00-11-22-33-44-55"}};
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-56", "1"), "");
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-55", "20"), ""); // another VLAN
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-55", "1"),
              "The MAC address already exists in VLAN 1.");
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-5G", "1"),
              "Please enter correct MAC format(ex:00-00-00-00-00-01)");
    EXPECT_EQ(CheckStaticMac(table, "FF-FF-FF-FF-FF-FF", "1"), "Broadcast MAC is not allowed.");
    EXPECT_EQ(CheckStaticMac(table, "01-00-5E-00-00-01", "1"), "Multicast MAC is not allowed.");
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-56", "0"), "Invalid VID (1 - 4094).");
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-56", "x"), "Invalid VID (1 - 4094).");
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-56", "30"), "VLAN 30 does not exist.");
    for (int i = 0; i < kMaxStaticMacs; ++i)
        table.entries.insert({20, QString::number(i)});
    EXPECT_EQ(CheckStaticMac(table, "00-11-22-33-44-56", "1"),
              "The Maximum of Entry is 256, can not add any more");

    EXPECT_EQ(StaticMacIndex(1, "00-1A-2b-33-44-FF"), "1.0.26.43.51.68.255");
}
