// The rules behind each feature's objects, in the write orders the pages use.
#include "SimTest.h"

namespace {

class FeaturesTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim(); }
    static QString Bridge(const QString& suffix) { return "1.3.6.1.2.1.17.2." + suffix; }
};

TEST_F(FeaturesTest, DefaultPriorityIsOneThePortPageNames) {
    // 1 reads "Low"; 0 would read "Low" too but count as another priority.
    EXPECT_EQ(Get(Enterprise("12.3.1.1.2.3")), "1");
}

TEST_F(FeaturesTest, SpanningTreeBridgeApplySequence) {
    // hello 100 + delay 3000 together, then max age, delay, hello: every step
    // keeps the 802.1D relations, so each is accepted.
    EXPECT_EQ(Set({Bridge("13.0"), "i", "100", Bridge("14.0"), "i", "3000"}), "");
    EXPECT_EQ(Set({Bridge("12.0"), "i", "600"}), "");
    EXPECT_EQ(Set({Bridge("14.0"), "i", "400"}), "");
    EXPECT_EQ(Set({Bridge("13.0"), "i", "200"}), "");
    EXPECT_EQ(Get(Bridge("9.0")), "200");
    EXPECT_EQ(Set({Bridge("13.0"), "i", "201"}), "inconsistentValue"); // 600 < 2 x (201 + 100)
    EXPECT_EQ(Set({Bridge("12.0"), "i", "601"}), "inconsistentValue"); // 2 x (400 - 100) < 601
    EXPECT_EQ(Set({Bridge("2.0"), "i", "4096"}), "");
    EXPECT_EQ(Set({Bridge("2.0"), "i", "4097"}), "wrongValue");
    EXPECT_EQ(Get(Bridge("5.0")), "\"10 00 02 4E 53 57 00 00 \"");
    // The port page writes the BRIDGE-MIB columns; the switch's table shows them.
    EXPECT_EQ(Set({Bridge("15.1.2.3"), "i", "32", Bridge("15.1.4.3"), "i", "2"}), "");
    EXPECT_EQ(Get(Enterprise("6.2.1.2.3")), "32");
    EXPECT_EQ(Get(Enterprise("6.2.1.4.3")), "2");
    EXPECT_EQ(Get(Bridge("15.1.3.3")), "1");     // disabled
    EXPECT_EQ(Get(Bridge("15.1.5.1")), "20000"); // automatic cost of a gigabit link
    EXPECT_EQ(Set({Enterprise("6.2.1.5.1"), "i", "500"}), "");
    EXPECT_EQ(Get(Bridge("15.1.5.1")), "500");
}

TEST_F(FeaturesTest, VlanModePvidsAndMulticastRows) {
    ASSERT_EQ(Set({Enterprise("7.6.1.1.40"), "s", "forty"}), "");
    ASSERT_EQ(Set({Enterprise("7.6.1.5.40"), "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise("7.8.1.2.40")), "0"); // its multicast filtering row
    EXPECT_EQ(Set({Enterprise("7.8.1.2.40"), "i", "1"}), "");
    ASSERT_EQ(Set({Enterprise("7.7.1.1.4"), "u", "40"}), "");
    // Symmetric mode: deleting the VLAN gives its ports back to VLAN 1.
    EXPECT_EQ(Set({Enterprise("7.6.1.5.40"), "i", "6"}), "");
    EXPECT_EQ(Get(Enterprise("7.7.1.1.4")), "1");
    EXPECT_TRUE(Get(Enterprise("7.8.1.2.40")).startsWith("No Such"));
    // The voice VLAN keeps the switch symmetric.
    EXPECT_EQ(Set({Enterprise("21.1.1.0"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("7.5.0"), "i", "1"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("21.1.1.0"), "i", "2"}), "");
    // Asymmetric mode resets the VLANs, and then a port's VLAN cannot go.
    ASSERT_EQ(Set({Enterprise("7.6.1.1.41"), "s", "x", Enterprise("7.6.1.5.41"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("7.5.0"), "i", "1"}), "");
    EXPECT_TRUE(Get(Enterprise("7.6.1.5.41")).startsWith("No Such"));
    ASSERT_EQ(Set({Enterprise("7.6.1.1.42"), "s", "y", Enterprise("7.6.1.5.42"), "i", "1"}), "");
    ASSERT_EQ(Set({Enterprise("7.7.1.1.5"), "u", "42"}), "");
    EXPECT_EQ(Set({Enterprise("7.6.1.5.42"), "i", "6"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("7.5.0"), "i", "2"}), "");
    EXPECT_EQ(Get(Enterprise("7.7.1.1.5")), "1");
}

TEST_F(FeaturesTest, PoeTimeRanges) {
    const QString range = Enterprise("23.1.1.%1.1");
    EXPECT_EQ(Set({range.arg(21), "i", "5"}), "");
    EXPECT_EQ(Get(range.arg(21)), "3"); // no name yet
    EXPECT_EQ(Set({range.arg(2), "s", "office", range.arg(3), "i", "1", range.arg(7), "i", "8",
                   range.arg(12), "i", "18", range.arg(14), "i", "1", range.arg(21), "i", "1"}),
              "");
    EXPECT_EQ(Get(Enterprise("32.1.1.2.1")), "\"office\"");
    EXPECT_EQ(Set({Enterprise("22.1.1.4.1.3"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("22.1.1.4.1.3"), "i", "2"}), "inconsistentValue");
    EXPECT_EQ(Set({range.arg(7), "i", "19"}), "inconsistentValue"); // starts after it ends
    EXPECT_EQ(Set({Enterprise("23.1.1.21.9"), "i", "5"}), "noCreation");
    EXPECT_EQ(Set({range.arg(21), "i", "6"}), ""); // port 3 keeps naming it
    EXPECT_EQ(Get(Enterprise("22.1.1.4.1.3")), "1");
    EXPECT_TRUE(Get(Enterprise("32.1.1.2.1")).startsWith("No Such"));
    EXPECT_EQ(Set({Enterprise("22.1.1.4.1.3"), "i", "0"}), "");
}

TEST_F(FeaturesTest, SecurityTables) {
    const QString arp = Enterprise("14.3.1.1.%1.10.0.0.1");
    EXPECT_EQ(Set({arp.arg(2), "x", "FFFFFFFFFFFF", arp.arg(4), "i", "4"}), "wrongValue");
    EXPECT_EQ(Set({arp.arg(2), "x", "010000000001", arp.arg(4), "i", "4"}), "wrongValue");
    EXPECT_EQ(
        Set({arp.arg(2), "x", "001122334455", arp.arg(3), "x", "C0000000", arp.arg(4), "i", "4"}),
        "");
    EXPECT_EQ(Get(arp.arg(1)), "10.0.0.1");
    EXPECT_EQ(Set({Enterprise("14.3.1.1.4.224.0.0.5"), "i", "4"}), "noCreation");
    // The screening page writes an inverted list: bits past port 28 are dropped.
    EXPECT_EQ(Set({Enterprise("14.7.1.0"), "x", "FFFFFFFF"}), "");
    EXPECT_EQ(Get(Enterprise("14.7.1.0")), "\"FF FF FF F0 \"");
    QStringList servers;
    for (int i = 1; i <= 5; ++i)
        servers << Enterprise("14.7.2.1.2.10.1.1.%1").arg(i) << "a"
                << QStringLiteral("10.1.1.%1").arg(i) << Enterprise("14.7.2.1.3.10.1.1.%1").arg(i)
                << "i"
                << "4";
    EXPECT_EQ(Set(servers), "");
    EXPECT_EQ(Get(Enterprise("14.7.2.1.1.10.1.1.5")), "5");
    EXPECT_EQ(Set({Enterprise("14.7.2.1.2.10.1.1.6"), "a", "10.1.1.6",
                   Enterprise("14.7.2.1.3.10.1.1.6"), "i", "4"}),
              "resourceUnavailable");
    // Storm control on this model counts in 63 Kbit/s.
    EXPECT_EQ(Set({Enterprise("13.3.3.0"), "i", "1008000"}), "");
    EXPECT_EQ(Set({Enterprise("13.3.3.0"), "i", "1024000"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("13.3.3.0"), "i", "64"}), "wrongValue");
    // Smart binding: scan a range, bind a host, find it on the white list.
    EXPECT_EQ(Set({Enterprise("14.10.5.0"), "a", "192.168.5.1", Enterprise("14.10.6.0"), "a",
                   "192.168.5.10", Enterprise("14.10.7.0"), "i", "1"}),
              "");
    const QStringList hosts = Walk(Enterprise("14.10.2.1.1"));
    ASSERT_FALSE(hosts.isEmpty());
    const QString index =
        hosts.first().section(u' ', 0, 0).mid(Enterprise("14.10.2.1.1").size() + 2);
    EXPECT_EQ(Set({Enterprise("14.10.2.1.5.") + index, "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise("14.10.3.1.4.") + index.section(u'.', 0, 9)), "1");
}

TEST_F(FeaturesTest, Dot1xPortControlKeepsAccess) {
    QStringList all;
    for (int p = 1; p <= 27; ++p)
        all << Enterprise("11.2.9.1.2.%1").arg(p) << "i"
            << "1";
    EXPECT_EQ(Set(all.mid(0, 3 * 20)), "");
    EXPECT_EQ(Set(all.mid(3 * 20)), "");
    EXPECT_EQ(Set({Enterprise("11.2.9.1.2.28"), "i", "2"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("11.2.9.1.2.28"), "i", "3"}), "");
    EXPECT_EQ(Get(Enterprise("11.2.9.1.3.1")), "2");
    EXPECT_EQ(Get(Enterprise("11.2.9.1.3.28")), "1");
    // Aggregated ports stay out of 802.1X.
    ASSERT_EQ(Set({Enterprise("11.2.9.1.2.10"), "i", "3", Enterprise("11.2.9.1.2.11"), "i", "3"}),
              "");
    ASSERT_EQ(Set({Enterprise("8.1.3.1.2.7"), "x", "00600000"}), "");
    EXPECT_EQ(Set({Enterprise("11.2.9.1.2.10"), "i", "2"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("11.1.1.0"), "a", "0.0.0.0"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("11.2.7.0"), "i", "11"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("8.1.3.1.2.7"), "x", "00000000"}), "");
}

TEST_F(FeaturesTest, AgentTablesAndScalars) {
    // Group "g" with security model v2c lives at 1.103.2.
    EXPECT_EQ(Set({Enterprise("25.3.1.1.7.1.103.2"), "i", "4"}), "");
    EXPECT_EQ(Get(Enterprise("25.3.1.1.5.1.103.2")), "2");
    EXPECT_EQ(Set({Enterprise("25.3.1.1.7.1.103.4"), "i", "4"}), "noCreation");
    // View "v" on 1.3.6.1: the mask may not be longer than the subtree.
    const QString view = Enterprise("25.4.1.1.%1.1.118.4.1.3.6.1");
    EXPECT_EQ(Set({view.arg(3), "s", "11111", view.arg(5), "i", "4"}), "inconsistentValue");
    EXPECT_EQ(Set({view.arg(3), "s", "1121", view.arg(5), "i", "4"}), "wrongValue");
    EXPECT_EQ(Set({view.arg(3), "s", "1111", view.arg(5), "i", "4"}), "");
    EXPECT_EQ(Get(view.arg(2)), "iso.3.6.1");
    EXPECT_EQ(Set({Enterprise("25.7.0"), "x", "80007ED9"}), "wrongLength");
    EXPECT_EQ(Set({Enterprise("25.7.0"), "x", "80007ED9044E53"}), "");
    EXPECT_EQ(Set({Enterprise("16.1.5.0"), "i", "120"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("16.1.5.0"), "i", "136", Enterprise("16.1.1.0"), "a", "10.0.0.1"}),
              "");
}

} // namespace
