// IGMP snooping 19 and the static MAC table 9.4 with its entries in the
// forwarding table.
#include "SimTest.h"

namespace {

const QString kMac = QStringLiteral("0.17.34.51.68.85"); // 00-11-22-33-44-55

class TrafficSimTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim(); }
    static QString StaticMac(int column, int vid, const QString& mac = kMac) {
        return Enterprise(QStringLiteral("9.4.1.%1.%2.").arg(column).arg(vid) + mac);
    }
    static QString Fdb(int column, int vid, const QString& mac = kMac) {
        return QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1.%1.%2.").arg(column).arg(vid) + mac;
    }
    static QString AddVlan(int vid) {
        const QString name = Enterprise(QStringLiteral("7.6.1.1.%1").arg(vid));
        const QString status = Enterprise(QStringLiteral("7.6.1.5.%1").arg(vid));
        const QString err = Set({name, "s", QStringLiteral("v%1").arg(vid)});
        return err.isEmpty() ? Set({status, "i", "1"}) : err;
    }
    static QString DropVlan(int vid) {
        return Set({Enterprise(QStringLiteral("7.6.1.5.%1").arg(vid)), "i", "6"});
    }
};

TEST_F(TrafficSimTest, IgmpSnoopingScalarsAndVlanRows) {
    EXPECT_EQ(Get(Enterprise("19.1.0")), "2");
    EXPECT_EQ(Get(Enterprise("19.2.0")), "260");
    EXPECT_EQ(Get(Enterprise("19.3.0")), "2");
    EXPECT_EQ(Set({Enterprise("19.1.0"), "i", "1", Enterprise("19.2.0"), "i", "300"}), "");
    EXPECT_EQ(Get(Enterprise("19.1.0")), "1");
    EXPECT_EQ(Get(Enterprise("19.2.0")), "300");
    EXPECT_EQ(Set({Enterprise("19.2.0"), "i", "129"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("19.2.0"), "i", "1226"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("19.3.0"), "i", "3"}), "wrongValue");

    // A row per VLAN: it comes with the VLAN and goes with it.
    EXPECT_EQ(Get(Enterprise("19.4.1.1.1")), "1");
    EXPECT_EQ(Set({Enterprise("19.4.1.2.77"), "i", "1"}), "noCreation");
    ASSERT_EQ(AddVlan(77), "");
    EXPECT_EQ(Get(Enterprise("19.4.1.1.77")), "77");
    EXPECT_EQ(Get(Enterprise("19.4.1.2.77")), "2");
    EXPECT_EQ(Set({Enterprise("19.4.1.2.77"), "i", "1", Enterprise("19.4.1.3.77"), "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise("19.4.1.3.77")), "1");
    ASSERT_EQ(DropVlan(77), "");
    EXPECT_TRUE(Walk(Enterprise("19.4.1.1")).join(u'\n').contains(".19.4.1.1.1 "));
    EXPECT_FALSE(Walk(Enterprise("19.4.1.1")).join(u'\n').contains(".19.4.1.1.77 "));
}

TEST_F(TrafficSimTest, StaticMacEntriesShowInTheForwardingTable) {
    ASSERT_EQ(Set({StaticMac(3, 1), "i", "5", StaticMac(4, 1), "i", "4"}), "");
    EXPECT_EQ(Get(StaticMac(1, 1)), "1");
    EXPECT_EQ(Get(StaticMac(2, 1)), "\"00 11 22 33 44 55 \"");
    EXPECT_EQ(Get(StaticMac(4, 1)), "1");
    EXPECT_EQ(Get(Fdb(2, 1)), "5");
    EXPECT_EQ(Get(Fdb(3, 1)), "5"); // mgmt: "Static" on the page

    // Moving the entry moves the forwarding entry.
    ASSERT_EQ(Set({StaticMac(3, 1), "i", "7"}), "");
    EXPECT_EQ(Get(Fdb(2, 1)), "7");

    // Refilling the learned part of the table keeps it.
    ASSERT_TRUE(CtlSet("2.4.0", "i", "20"));
    EXPECT_EQ(Get(Fdb(3, 1)), "5");

    ASSERT_EQ(Set({StaticMac(4, 1), "i", "6"}), "");
    EXPECT_TRUE(Walk(Enterprise("9.4.1.4")).isEmpty());
    EXPECT_TRUE(Walk(Fdb(3, 1)).isEmpty());
}

TEST_F(TrafficSimTest, StaticMacRefusals) {
    // No such VLAN, a port beyond the switch, no port at all.
    EXPECT_EQ(Set({StaticMac(3, 99), "i", "5", StaticMac(4, 99), "i", "4"}), "inconsistentValue");
    EXPECT_EQ(Set({StaticMac(3, 1), "i", "29", StaticMac(4, 1), "i", "4"}), "wrongValue");
    EXPECT_EQ(Set({StaticMac(4, 1), "i", "4"}), "inconsistentValue");
    // Multicast, all-zero MACs and VLAN 0 are no index of the table.
    for (const QString& index :
         {StaticMac(4, 1, "1.0.94.0.0.1"), StaticMac(4, 1, "0.0.0.0.0.0"), StaticMac(4, 0)})
        EXPECT_EQ(Set({index, "i", "4"}), "noCreation") << index.toStdString();
    EXPECT_TRUE(Walk(Enterprise("9.4.1.1")).isEmpty());

    // Entries go with their VLAN.
    ASSERT_EQ(AddVlan(40), "");
    ASSERT_EQ(Set({StaticMac(3, 40), "i", "2", StaticMac(4, 40), "i", "4"}), "");
    EXPECT_EQ(Get(Fdb(3, 40)), "5");
    ASSERT_EQ(DropVlan(40), "");
    EXPECT_TRUE(Walk(Enterprise("9.4.1.1")).isEmpty());
    EXPECT_TRUE(Walk(Fdb(3, 40)).isEmpty());
}

} // namespace

namespace {

TEST_F(TrafficSimTest, AggregatedLinksKeepOneRateControl) {
    const QString members = Enterprise("8.1.3.1.2.3");
    ASSERT_EQ(Set({members, "x", "30000000"}), ""); // ports 3 and 4
    EXPECT_EQ(Set({Enterprise("13.1.2.1.2.3"), "i", "640"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("13.1.2.1.3.4"), "i", "640"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("13.1.2.1.2.3"), "i", "640", Enterprise("13.1.2.1.2.4"), "i", "640"}),
              "");
    EXPECT_EQ(Get(Enterprise("13.1.2.1.2.4")), "640");
    EXPECT_EQ(Set({Enterprise("13.1.2.1.2.5"), "i", "64"}), ""); // not aggregated
    ASSERT_EQ(Set({members, "x", "00000000"}), "");
    EXPECT_EQ(Set({Enterprise("13.1.2.1.2.3"), "i", "0"}), "");
}

} // namespace
