#include "pages/switching/SwitchCommon.h"
#include "pages/switching/Vlan.h"

#include "QtPrint.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<int> Members(int portCount, std::initializer_list<std::pair<int, int>> ports) {
    std::vector<int> m(portCount, kNotMember);
    for (auto [port, kind] : ports)
        m[port - 1] = kind;
    return m;
}

} // namespace

TEST(VlanEditor, VidNameAndMembers) {
    const std::vector<int> members = Members(8, {{1, kUntagged}});
    const std::vector<int> noLag(8, 0);
    const std::vector<int> existing = {1, 10};
    const QString range = "Invalid VLAN ID, VLAN ID should be (2-4094) !";
    for (const char* vid : {"1", "4095", "0", "", "abc", "-2"})
        EXPECT_EQ(CheckVlanEdit(vid, "v", members, true, existing, noLag), range) << vid;
    EXPECT_EQ(CheckVlanEdit("2", "v", members, true, existing, noLag), QString());
    EXPECT_EQ(CheckVlanEdit("4094", "v", members, true, existing, noLag), QString());
    EXPECT_EQ(CheckVlanEdit("10", "v", members, true, existing, noLag),
              "The VLAN ID has been used, please input again !");
    EXPECT_EQ(CheckVlanEdit("10", "v", members, false, existing, noLag), QString());

    EXPECT_EQ(CheckVlanEdit("20", "", members, true, existing, noLag), "Invalid Vlan Name.");
    EXPECT_EQ(CheckVlanEdit("20", "a,b", members, true, existing, noLag), "Invalid Vlan Name.");
    EXPECT_EQ(CheckVlanEdit("20", QString::fromUtf8("Büro-Ü"), members, true, existing, noLag),
              QString());

    EXPECT_EQ(CheckVlanEdit("20", "v", Members(8, {}), true, existing, noLag),
              "You have to include at least one member in the vlan");
    EXPECT_EQ(CheckVlanEdit("20", "v", Members(8, {{8, kTagged}}), true, existing, noLag),
              QString());
}

TEST(VlanEditor, TrunkMembersJoinTogetherAndAlike) {
    std::vector<int> lag(8, 0);
    lag[2] = lag[3] = 1; // ports 3 and 4
    lag[6] = lag[7] = 2; // ports 7 and 8
    const QString trunk = "Members in VLAN have to be in the same trunk !";
    auto check = [&](std::initializer_list<std::pair<int, int>> ports) {
        return CheckVlanEdit("30", "v", Members(8, ports), true, {}, lag);
    };
    EXPECT_EQ(check({{1, kTagged}}), QString());
    EXPECT_EQ(check({{3, kTagged}, {4, kTagged}}), QString());
    EXPECT_EQ(check({{3, kUntagged}, {4, kUntagged}, {7, kTagged}, {8, kTagged}}), QString());
    EXPECT_EQ(check({{3, kTagged}}), trunk);
    EXPECT_EQ(check({{1, kTagged}, {8, kUntagged}}), trunk);
    EXPECT_EQ(check({{3, kTagged}, {4, kUntagged}}), trunk);
}

TEST(VlanEditor, MembershipMapsToTheTwoLists) {
    // egress 1,2,3 and untagged 2; port 4 listed untagged only counts as untagged
    QByteArray egress(1, static_cast<char>(0xE0));
    QByteArray untagged(1, static_cast<char>(0x50));
    const std::vector<int> m = MembershipOf(egress, untagged, 8);
    EXPECT_EQ(m, Members(8, {{1, kTagged}, {2, kUntagged}, {3, kTagged}, {4, kUntagged}}));
    EXPECT_EQ(EgressFlags(m), (std::vector<int>{1, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(UntaggedFlags(m), (std::vector<int>{0, 1, 0, 1, 0, 0, 0, 0}));
}

TEST(VlanEditor, ListWritesKeepUntaggedWithinEgress) {
    // Every order of writes, for random changes: after each write the
    // untagged ports are egress ports too, and the end is what was asked.
    std::mt19937 random(7);
    std::uniform_int_distribution<int> kind(0, 2);
    int threeWrites = 0;
    for (int round = 0; round < 500; ++round) {
        std::vector<int> before(10), after(10);
        for (int p = 0; p < 10; ++p) {
            before[p] = kind(random);
            after[p] = kind(random);
        }
        std::vector<int> egress = EgressFlags(before), untagged = UntaggedFlags(before);
        const std::vector<SVlanListWrite> writes = VlanListWrites(before, after);
        ASSERT_GE(writes.size(), 2u);
        threeWrites += writes.size() == 3;
        for (const SVlanListWrite& w : writes) {
            (w.egress ? egress : untagged) = w.flags;
            for (int p = 0; p < 10; ++p)
                ASSERT_TRUE(!untagged[p] || egress[p]) << "round " << round;
        }
        EXPECT_EQ(egress, EgressFlags(after));
        EXPECT_EQ(untagged, UntaggedFlags(after));
    }
    EXPECT_GT(threeWrites, 0);
    // A new VLAN: egress first, then untagged.
    const auto writes =
        VlanListWrites(std::vector<int>(4, kNotMember), Members(4, {{2, kUntagged}}));
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_TRUE(writes[0].egress);
}

TEST(VlanDelete, RefusalsInOrder) {
    SVlanDeleteState s;
    EXPECT_EQ(CheckVlanDelete(s), "Please select the VLAN want to be deleted!");
    s.rowCount = 3;
    EXPECT_EQ(CheckVlanDelete(s), "Please select the VLAN want to be deleted!");
    s.selectedRow = 0;
    s.vid = 1;
    EXPECT_EQ(CheckVlanDelete(s), "Can't delete the default VLAN!");
    s.vid = 20;
    s.pvids = {1, 20, 1};
    EXPECT_EQ(CheckVlanDelete(s), QString()); // PVIDs count only in asymmetric mode
    s.asymmetric = true;
    EXPECT_EQ(CheckVlanDelete(s), "The VID is one of The PVID, so it cannot be deleted.");
    s.pvids = {1, 1, 1};
    s.voiceVid = 20;
    EXPECT_EQ(CheckVlanDelete(s), QString());
    s.voiceEnabled = true;
    EXPECT_EQ(CheckVlanDelete(s), "The VLAN ID is Voice VLAN ID.");
    s.voiceVid = 30;
    s.surveillanceVid = 20;
    EXPECT_EQ(CheckVlanDelete(s), QString());
    s.surveillanceEnabled = true;
    EXPECT_EQ(CheckVlanDelete(s), "The VLAN ID is Surveillance VLAN ID.");
    s.voiceVid = 20; // voice is asked before surveillance
    EXPECT_EQ(CheckVlanDelete(s), "The VLAN ID is Voice VLAN ID.");
}

TEST(PvidChecks, RangeVlanAndTrunks) {
    std::vector<int> lag(8, 0);
    lag[0] = lag[1] = 1; // static trunk
    lag[4] = lag[5] = 2; // LACP trunk
    const std::vector<int> modes = {2, 1, 3, 3, 3, 3, 3, 3};
    const std::vector<int> vids = {1, 10};
    for (const char* bad : {"0", "4095", "", "x"})
        EXPECT_EQ(CheckPvidChange(bad, {3}, vids, lag, modes), "Invalid PVID") << bad;
    EXPECT_EQ(CheckPvidChange("11", {3}, vids, lag, modes), "Invalid PVID,VlAN is empty");
    EXPECT_EQ(CheckPvidChange("10", {3, 4}, vids, lag, modes), QString());
    EXPECT_EQ(CheckPvidChange("10", {1}, vids, lag, modes),
              "You should let all Trunk member in the same PVID !");
    EXPECT_EQ(CheckPvidChange("10", {1, 2, 3}, vids, lag, modes), QString());
    EXPECT_EQ(CheckPvidChange("10", {5}, vids, lag, modes),
              "You should let all Trunk member in the same PVID !");
    EXPECT_EQ(
        CheckPvidChange("10", {5, 6}, vids, lag, modes),
        "Setting PVID on a Trunk is not supported. Please use Web interface for the settings.");
}

TEST(SwitchCommon, PortRangeText) {
    int count = -1;
    EXPECT_EQ(PortRangeText({1, 1, 1, 0, 1, 0, 1, 1}, &count), "1-3,5,7-8");
    EXPECT_EQ(count, 6);
    EXPECT_EQ(PortRangeText({0, 0}, &count), QString());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(PortRangeText({1}), "1");
    EXPECT_EQ(PortsPerGridRow(52), 26);
    EXPECT_EQ(PortsPerGridRow(48), 24);
    EXPECT_EQ(PortsPerGridRow(28), 28);
}
