#include "pages/switching/SwitchCommon.h"
#include "pages/switching/Trunk.h"
#include "snmp/Encodings.h"

#include "QtPrint.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kPorts = 28;

std::vector<int> Ports(std::initializer_list<int> ports, int portCount = kPorts) {
    std::vector<int> flags(portCount, 0);
    for (int p : ports)
        flags[p - 1] = 1;
    return flags;
}

// A switch on which any selection may be aggregated.
STrunkValidData Clean() {
    STrunkValidData d(kPorts);
    for (int p = 0; p < kPorts; ++p) {
        d.speed[p] = 1;
        d.priority[p] = 1;
        d.pvid[p] = 1;
        d.portSecurity[p] = 2;
        d.media[p] = 1;
        d.lbd[p] = 2;
        d.rateIngress[p] = 0;
        d.rateEgress[p] = 0;
        for (auto& setting : d.rstp)
            setting[p] = 2;
        d.dot1xControl[p] = 3;
        d.voiceMode[p] = 2;
        d.autoLearn[p] = 1;
        d.dhcpScreening[p] = 2;
        d.vlanConfig[p] = 1;
        d.surveillanceMode[p] = 2;
        d.surveillanceDynamic[p] = 1;
    }
    d.mirrorState = 2;
    d.dot1xState = 2;
    d.rstpState = 2;
    d.surveillanceState = 2;
    return d;
}

QString Check(const STrunkValidData& d, std::initializer_list<int> ports,
              const QString& members = {}) {
    return CheckTrunkMembers(d, Ports(ports), members);
}

QByteArray Bytes(std::initializer_list<int> octets) {
    QByteArray b;
    for (int o : octets)
        b.append(static_cast<char>(o));
    return b;
}

SSnmpRow Row(const QString& suffix, std::vector<SSnmpCell> cells) {
    SSnmpRow row;
    row.cells = std::move(cells);
    row.suffix = suffix;
    return row;
}

SSnmpCell Octets(const QByteArray& bytes) {
    return {SnmpType::kOctetString, bytes, {}};
}
SSnmpCell Int(int value) {
    return {SnmpType::kInteger, QByteArray::number(value), {}};
}

} // namespace

TEST(TrunkLogic, TrunkIdsAndMemberCounts) {
    int group = 0;
    for (const char* bad : {"0", "9", "-1", "x", "1.5"})
        EXPECT_FALSE(CheckTrunkId(bad, group).isEmpty()) << bad;
    EXPECT_EQ(CheckTrunkId("1", group), QString());
    EXPECT_EQ(group, 1);
    EXPECT_EQ(CheckTrunkId("8", group), QString());
    EXPECT_EQ(group, 8);

    const QString tooFew = "The mininum port members for an aggregated link is 2 !";
    const QString tooMany = "The maxinum port member for an aggregated link is exceeded !";
    EXPECT_EQ(CheckMemberCount(Ports({})), tooFew);
    EXPECT_EQ(CheckMemberCount(Ports({5})), tooFew);
    EXPECT_EQ(CheckMemberCount(Ports({5, 6})), QString());
    EXPECT_EQ(CheckMemberCount(Ports({1, 2, 3, 4, 5, 6, 7, 8})), QString());
    EXPECT_EQ(CheckMemberCount(Ports({1, 2, 3, 4, 5, 6, 7, 8, 9})), tooMany);
}

TEST(TrunkLogic, MemberHexAndOctetsByPortCount) {
    struct Case {
        int ports;
        QString hex;
        QByteArray octets;
    } cases[] = {
        {8, "c1000000", Bytes({0xC1, 0, 0, 0})},
        {10, "c0400000", Bytes({0xC0, 0x40, 0, 0})},
        {24, "c0000100", Bytes({0xC0, 0, 0x01, 0})},
        {28, "c0000010", Bytes({0xC0, 0, 0, 0x10})},
        {48, "c000000000010000", Bytes({0xC0, 0, 0, 0, 0, 0x01, 0, 0})},
        // the last three digits are padding beyond the final digit's own zero bits
        {52, "c000000000001000", Bytes({0xC0, 0, 0, 0, 0, 0, 0x10, 0})},
    };
    for (const Case& c : cases) {
        // ports 1, 2 and the last port
        std::vector<int> flags = Ports({1, 2}, c.ports);
        flags.back() = 1;
        EXPECT_EQ(TrunkMemberHex(flags, c.ports), c.hex) << c.ports;
        EXPECT_EQ(PortFlagsToBitmap(flags, c.ports), c.octets) << c.ports;
        EXPECT_EQ(PortBitmapToList(c.octets, nullptr, c.ports),
                  QStringLiteral("1,2,%1").arg(c.ports));
    }
}

TEST(TrunkValid, CleanSwitchPassesAndPortsOfOtherGroupsAreRefused) {
    STrunkValidData d = Clean();
    EXPECT_EQ(Check(d, {1, 2}), QString());
    EXPECT_EQ(Check(d, {}), QString());

    // 1. ports 3 and 4 are group 2; group 1 holds 1 and 2
    d.lagOfPort[0] = d.lagOfPort[1] = 1;
    d.lagOfPort[2] = d.lagOfPort[3] = 2;
    const QString other = "Cannot add the port as it is a member of another aggregated link !";
    EXPECT_EQ(Check(d, {1, 2}, "1,2"), QString()); // the group's own members again
    EXPECT_EQ(Check(d, {1, 2, 5}, "1,2"), QString());
    EXPECT_EQ(Check(d, {1, 2, 3}, "1,2"), other);
    EXPECT_EQ(Check(d, {1, 2}, ""), other); // a new group cannot take them
}

TEST(TrunkValid, MediaSpeedAndDuplex) {
    STrunkValidData d = Clean();
    // 2. media
    d.media[1] = 4;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add ports of different types to an aggregated link !");
    d.media[0] = 4;
    EXPECT_EQ(Check(d, {1, 2}), QString());
    d.media[2] = 3;
    EXPECT_EQ(Check(d, {1, 2, 3}), "Cannot add ports of different types to an aggregated link !");

    // 3. half duplex on the first port with a speed, then different speeds
    d = Clean();
    d.speed[4] = 3;
    d.speed[5] = 3;
    EXPECT_EQ(Check(d, {5, 6}), "Cannot add a port in half-duplex mode to an aggregated link.");
    d.speed[4] = d.speed[5] = 5;
    EXPECT_EQ(Check(d, {5, 6}), "Cannot add a port in half-duplex mode to an aggregated link.");
    d.speed[4] = 0; // the first port with a value is the reference
    EXPECT_EQ(Check(d, {5, 6}), "Cannot add a port in half-duplex mode to an aggregated link.");
    d.speed[4] = 2;
    d.speed[5] = 6;
    EXPECT_EQ(Check(d, {5, 6}), "Cannot add ports of different speed to an aggregated link.");
    d.speed[5] = 2;
    EXPECT_EQ(Check(d, {5, 6}), QString());
}

TEST(TrunkValid, ScreeningDot1xVlanAndLearning) {
    STrunkValidData d = Clean();
    // 4.
    d.dhcpScreening[1] = 1;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add ports with different DHCP Server Screening Port "
                                "Settings to an aggregated link.");
    d.dhcpScreening[0] = 1;
    EXPECT_EQ(Check(d, {1, 2}), QString());

    // 5. only while 802.1X is on; Auto before ForceUnauthorized
    d = Clean();
    d.dot1xControl[0] = 1;
    d.dot1xControl[1] = 2;
    EXPECT_EQ(Check(d, {1, 2}), QString());
    d.dot1xState = 1;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add the 802.1X-enabled port to an aggregated link.");
    EXPECT_EQ(Check(d, {1, 3}), "Setting the Channel Mode Fail.");
    EXPECT_EQ(Check(d, {3, 4}), QString());

    // 6.
    d = Clean();
    d.vlanConfig[3] = 2;
    EXPECT_EQ(Check(d, {3, 4}),
              "Cannot add ports with different VLAN configurations to an aggregated link !");
    EXPECT_EQ(Check(d, {4}), QString());

    // 7. learning off on a selected port, or on every port
    d = Clean();
    const QString learn = "Cannot add a Auto-learn disabled port to an aggregated link.";
    d.autoLearn[1] = 0;
    EXPECT_EQ(Check(d, {1, 2}), learn);
    EXPECT_EQ(Check(d, {1, 3}), QString());
    std::fill(d.autoLearn.begin(), d.autoLearn.end(), 0);
    EXPECT_EQ(Check(d, {1, 3}), learn);
}

TEST(TrunkValid, PriorityPvidSecurityAndLoopback) {
    STrunkValidData d = Clean();
    d.priority[1] = 3;
    EXPECT_EQ(Check(d, {1, 2}),
              "Cannot add ports with different 802.1p default priorities to an aggregated link.");
    // the reference is the first selected port whose value is not 0; from
    // there a 0 is a value like any other (priority 0 is the switch's default)
    d.priority[0] = d.priority[1] = 0;
    EXPECT_EQ(Check(d, {1, 2}), QString());
    d.priority[2] = 3;
    EXPECT_EQ(Check(d, {1, 2, 3}),
              "Cannot add ports with different 802.1p default priorities to an aggregated link.");
    d = Clean();
    d.pvid[1] = 20;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add ports with different PVIDs to an aggregated link.");
    d.pvid[0] = 20;
    EXPECT_EQ(Check(d, {1, 2}), QString());
    d = Clean();
    d.portSecurity[1] = 1;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add a port-security anabled port to an aggregated link.");
    EXPECT_EQ(Check(d, {1, 3}), QString());
    d = Clean();
    d.lbd[0] = 1;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add a LBD-enabled port to an aggregated link.");
    // the first failing part of a check speaks: priority before PVID
    d = Clean();
    d.priority[1] = 3;
    d.pvid[1] = 20;
    EXPECT_EQ(Check(d, {1, 2}),
              "Cannot add ports with different 802.1p default priorities to an aggregated link.");
}

TEST(TrunkValid, MirrorAndArpLists) {
    STrunkValidData d = Clean();
    const QString source = "Cannot add ports of Port Mirror enable ports to an aggregated link.";
    d.mirrorSource1 = Ports({1});
    EXPECT_EQ(Check(d, {1, 2}), source);
    d.mirrorSource1 = Ports({1, 2});
    EXPECT_EQ(Check(d, {1, 2}), QString());
    d.mirrorSource2 = Ports({2, 3});
    EXPECT_EQ(Check(d, {1, 2}), source);
    EXPECT_EQ(Check(d, {4, 5}), QString());

    d = Clean();
    d.mirrorTarget = 2;
    EXPECT_EQ(Check(d, {1, 2}), QString()); // mirroring off
    d.mirrorState = 1;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add a mirror port to an aggregated link.");
    EXPECT_EQ(Check(d, {3, 4}), QString());

    d = Clean();
    d.arpPrevention = Ports({7});
    EXPECT_EQ(Check(d, {7, 8}),
              "Cannot add ports of ARP Spoofing Prevent enable ports to an aggregated link.");
    d.arpPrevention = Ports({7, 8});
    EXPECT_EQ(Check(d, {7, 8}), QString());
}

TEST(TrunkValid, RateControlAndRstpCompareWithTheFirstPortWhateverItsValue) {
    STrunkValidData d = Clean();
    const QString rate =
        "Cannot add ports with different rate control configurations to an aggregated link.";
    d.rateEgress[1] = 64;
    EXPECT_EQ(Check(d, {1, 2}), rate);
    // a 0 on the first port is a value here, unlike the other comparisons
    d.rateEgress[2] = 64;
    EXPECT_EQ(Check(d, {1, 2, 3}), rate);
    EXPECT_EQ(Check(d, {2, 3}), QString());
    d.rateEgress[0] = 64;
    EXPECT_EQ(Check(d, {1, 2, 3}), QString());

    d = Clean();
    const QString rstp =
        "Cannot add a port with different RSTP port setting to an aggregated link. ";
    d.rstp[6][1] = 9;
    EXPECT_EQ(Check(d, {1, 2}), QString()); // RSTP off
    d.rstpState = 1;
    EXPECT_EQ(Check(d, {1, 2}), rstp);
    d = Clean();
    d.rstpState = 1;
    d.rstp[2][0] = d.rstp[2][1] = 0; // the third setting 0 on both sides
    EXPECT_EQ(Check(d, {1, 2}), QString());
    d.rstp[2][1] = 1;
    EXPECT_EQ(Check(d, {1, 2}), rstp);
}

TEST(TrunkValid, VoiceFdbAclAndSurveillance) {
    STrunkValidData d = Clean();
    d.voiceMode[1] = 1;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add a port in Voice Vlan Auto mode to an aggregated link.");
    EXPECT_EQ(Check(d, {1, 3}), QString());

    d = Clean();
    d.fdbHit = Ports({3});
    EXPECT_EQ(Check(d, {3, 4}), "Cannot add ports with different FDB-destination-hit "
                                "configurations to an aggregated link.");
    EXPECT_EQ(Check(d, {4, 5}), QString());

    d = Clean();
    d.acl = Ports({5});
    EXPECT_EQ(Check(d, {4, 5}), "Cannot add an ACL enabled port to an aggregated link.");
    EXPECT_EQ(Check(d, {3, 4}), QString());

    d = Clean();
    d.surveillanceMode[0] = 1;
    d.surveillanceDynamic[1] = 2;
    EXPECT_EQ(Check(d, {1, 2}), QString()); // surveillance off
    d.surveillanceState = 1;
    EXPECT_EQ(Check(d, {1, 2}),
              "Cannot add a port in  Auto Surveillance VLAN Auto mode to an aggregated link");
    EXPECT_EQ(
        Check(d, {2, 3}),
        "Cannot add a port in Auto Surveillance Vlan Auto dynamic mode to an aggregated link");
    EXPECT_EQ(Check(d, {3, 4}), QString());
}

TEST(TrunkValid, ChecksRunInOrder) {
    // A selection that fails several checks gets the message of the earliest.
    STrunkValidData d = Clean();
    d.acl = Ports({2});
    d.voiceMode[1] = 1;
    d.mirrorState = 1;
    d.mirrorTarget = 2;
    d.pvid[1] = 7;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add ports with different PVIDs to an aggregated link.");
    d.media[1] = 3;
    EXPECT_EQ(Check(d, {1, 2}), "Cannot add ports of different types to an aggregated link !");
    d.lagOfPort[1] = 4;
    EXPECT_EQ(Check(d, {1, 2}),
              "Cannot add the port as it is a member of another aggregated link !");
}

TEST(TrunkValid, LoadedRowsFillThePerPortValues) {
    STrunkValidData d(4);
    // rows beyond the port count are dropped; row r is port r + 1
    std::vector<SSnmpRow> rows;
    for (int r = 0; r < 6; ++r)
        rows.push_back(Row(QString::number(r + 1), {Int(10 + r), Int(20 + r)}));
    FillPerPortRows(rows, {&d.speed, &d.media});
    EXPECT_EQ(d.speed, (std::vector<int>{10, 11, 12, 13}));
    EXPECT_EQ(d.media, (std::vector<int>{20, 21, 22, 23}));

    // VLAN membership: ports 1 and 2 alike (untagged in 1, tagged in 5),
    // port 3 tagged in 1 only, port 4 in nothing
    const std::vector<SSnmpRow> vlans = {
        Row("1", {Octets(Bytes({0xE0})), Octets(Bytes({0xC0}))}),
        Row("5", {Octets(Bytes({0xC0})), Octets(Bytes({0x00}))}),
    };
    const std::vector<int> config = VlanConfigOfPorts(vlans, 4);
    EXPECT_EQ(config[0], config[1]);
    EXPECT_NE(config[0], config[2]);
    EXPECT_NE(config[2], config[3]);
    EXPECT_NE(config[3], 0);

    // Port sets given as PortLists or as port numbers; out-of-range ignored.
    const std::vector<SSnmpRow> named = {Row("1", {Octets(Bytes({0x41}))}), Row("2", {Int(3)}),
                                         Row("3", {Int(40)})};
    EXPECT_EQ(PortsNamedBy(named, 8), Ports({2, 3, 8}, 8));

    // Group membership; bits beyond the port count are ignored.
    const std::vector<SSnmpRow> groups = {Row("2", {Octets(Bytes({0x30, 0x01}))}),
                                          Row("5", {Octets(Bytes({0x00, 0x00}))})};
    EXPECT_EQ(LagOfPorts(groups, 10), (std::vector<int>{0, 0, 2, 2, 0, 0, 0, 0, 0, 0}));
}
