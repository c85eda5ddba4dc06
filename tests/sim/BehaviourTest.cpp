// Errors by class and version, all-or-nothing SETs, row status life cycles,
// limits and the write orders the pages use.
#include "SimTest.h"

namespace {

class BehaviourTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim(); }
};

const QString kSysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
const QString kSysLocation = QStringLiteral("1.3.6.1.2.1.1.6.0");
const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");

TEST_F(BehaviourTest, EachErrorClassPerVersion) {
    const QString jumbo = Enterprise("1.12.0");
    struct Case {
        QStringList set;
        QString v2;
        QString v1;
    };
    const Case cases[] = {
        {{jumbo, "s", "1"}, "wrongType", "(badValue)"},
        {{jumbo, "i", "3"}, "wrongValue", "(badValue)"},
        {{kSysName, "s", QString(256, u'x')}, "wrongLength", "(badValue)"},
        {{kSysDescr, "s", "x"}, "notWritable", "(noSuchName)"},
        {{"1.3.6.1.4.1.32473.10.75.7.1.77.0", "i", "1"}, "notWritable", "(noSuchName)"},
        // a port the switch does not have
        {{Enterprise("1.13.1.2.29"), "i", "6"}, "noCreation", "(noSuchName)"},
        {{Enterprise("7.6.1.5.1"), "i", "6"}, "inconsistentValue", "(badValue)"},
        // createAndGo without the VLAN's required name
        {{Enterprise("7.6.1.5.20"), "i", "4"}, "inconsistentValue", "(badValue)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Set(c.set), c.v2) << c.set.join(' ').toStdString();
        EXPECT_EQ(Set(c.set, "1"), c.v1) << c.set.join(' ').toStdString();
    }
    EXPECT_EQ(Get(jumbo), "2");
}

TEST_F(BehaviourTest, RefusedSetChangesNothing) {
    ASSERT_EQ(Set({kSysName, "s", "before", kSysLocation, "s", "here"}), "");
    // The last varbind fails: the first two stay as they were.
    EXPECT_EQ(
        Set({kSysName, "s", "after", kSysLocation, "s", "there", Enterprise("1.12.0"), "i", "9"}),
        "wrongValue");
    EXPECT_EQ(Get(kSysName), "\"before\"");
    EXPECT_EQ(Get(kSysLocation), "\"here\"");
    // A row check failing late (trunk member already in a group) too.
    ASSERT_EQ(
        Set({Enterprise("8.1.3.1.2.3"), "x", "C0000000", Enterprise("8.1.3.1.3.3"), "i", "2"}), "");
    EXPECT_EQ(Set({kSysName, "s", "after", Enterprise("8.1.3.1.2.4"), "x", "60000000"}),
              "inconsistentValue");
    EXPECT_EQ(Get(kSysName), "\"before\"");
    EXPECT_EQ(Get(Enterprise("8.1.3.1.2.4")), "\"00 00 00 00 \"");
    EXPECT_EQ(Set({Enterprise("8.1.3.1.2.3"), "x", "00000000"}), "");
}

TEST_F(BehaviourTest, RowStatusLifeCycle) {
    // A trap host: createAndWait leaves it notReady until its community is set.
    const QString host = QStringLiteral("6.1.1.%1.10.0.0.9");
    EXPECT_EQ(Set({Enterprise("25." + host.arg(4)), "i", "5"}), "");
    EXPECT_EQ(Get(Enterprise("25." + host.arg(4))), "3");
    EXPECT_EQ(Set({Enterprise("25." + host.arg(4)), "i", "1"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("25." + host.arg(3)), "s", "traps"}), "");
    EXPECT_EQ(Get(Enterprise("25." + host.arg(4))), "2");
    EXPECT_EQ(Set({Enterprise("25." + host.arg(4)), "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise("25." + host.arg(4))), "1");
    EXPECT_EQ(Get(Enterprise("25." + host.arg(1))), "10.0.0.9");
    EXPECT_EQ(Set({Enterprise("25." + host.arg(4)), "i", "5"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("25." + host.arg(4)), "i", "3"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("25." + host.arg(4)), "i", "6"}), "");
    EXPECT_EQ(Get(Enterprise("25." + host.arg(4))),
              "No Such Instance currently exists at this OID");
    // createAndGo with every required column in one request.
    EXPECT_EQ(
        Set({Enterprise("25." + host.arg(3)), "s", "x", Enterprise("25." + host.arg(4)), "i", "4"}),
        "");
    EXPECT_EQ(Get(Enterprise("25." + host.arg(4))), "1");
    // Columns of a row that does not exist cannot create it in this table.
    EXPECT_EQ(Set({Enterprise("25.6.1.1.3.10.0.0.8"), "s", "y"}), "noCreation");
    // A bad index (0.0.0.0) cannot be created either.
    EXPECT_EQ(Set({Enterprise("25.6.1.1.4.0.0.0.0"), "i", "4"}), "noCreation");
}

TEST_F(BehaviourTest, PageWriteOrdersAreAccepted) {
    // VLAN editor: the name, then the row status, then each member list alone.
    EXPECT_EQ(Set({Enterprise("7.6.1.1.100"), "s", "office"}), "");
    EXPECT_EQ(Set({Enterprise("7.6.1.5.100"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("7.6.1.2.100"), "x", "F0000000"}), "");
    EXPECT_EQ(Set({Enterprise("7.6.1.4.100"), "x", "30000000"}), "");
    EXPECT_EQ(Get(Enterprise("7.6.1.2.100")), "\"F0 00 00 00 \"");
    EXPECT_EQ(Set({Enterprise("7.7.1.1.2"), "u", "100"}), "");
    EXPECT_EQ(Set({Enterprise("7.7.1.1.2"), "u", "101"}), "inconsistentValue");
    // Link aggregation window: members and mode in one request.
    EXPECT_EQ(
        Set({Enterprise("8.1.3.1.2.5"), "x", "0F000000", Enterprise("8.1.3.1.3.5"), "i", "1"}), "");
    // One port, nine ports, or a port of another group are refused.
    EXPECT_EQ(Set({Enterprise("8.1.3.1.2.6"), "x", "00800000"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("8.1.3.1.2.6"), "x", "00FF8000"}), "wrongValue");
    // A VLAN cannot take half of an aggregated link.
    EXPECT_EQ(Set({Enterprise("7.6.1.2.100"), "x", "F4000000"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("7.6.1.2.100"), "x", "FF000000"}), "");
    EXPECT_EQ(
        Set({Enterprise("8.1.3.1.2.5"), "x", "00000000", Enterprise("8.1.3.1.3.5"), "i", "3"}), "");
    // SNMP agent pages: createAndWait, the columns, then active.
    const QString user = Enterprise("25.2.1.1.%1.3.101.118.101"); // "eve"
    EXPECT_EQ(Set({user.arg(8), "i", "5"}), "");
    EXPECT_EQ(Set({user.arg(3), "i", "3"}), "");
    EXPECT_EQ(Set({user.arg(4), "i", "3", user.arg(6), "i", "2"}), "");
    EXPECT_EQ(Set({user.arg(5), "s", QString(40, u'a'), user.arg(7), "s", "privpassword"}), "");
    EXPECT_EQ(Set({user.arg(2), "s", "admins"}), "");
    EXPECT_EQ(Set({user.arg(8), "i", "1"}), "");
    EXPECT_EQ(Get(user.arg(1)), "\"eve\"");
    // MD5 takes 32 characters at most.
    EXPECT_EQ(Set({user.arg(4), "i", "2"}), "inconsistentValue");
    // A name the module would refuse cannot be an index either ("a.b").
    EXPECT_EQ(Set({Enterprise("25.5.1.1.3.3.97.46.98"), "i", "4"}), "noCreation");
}

TEST_F(BehaviourTest, LimitsOfTheTables) {
    // VLANs up to 256 (VLAN 1 and 100 may exist already), then resourceUnavailable.
    int existing = Walk(Enterprise("7.6.1.5")).size();
    for (int first = 2000; first < 2000 + 256 - existing; first += 50) {
        QStringList create; // the tools take at most 128 varbinds
        for (int vid = first; vid < std::min(first + 50, 2000 + 256 - existing); ++vid)
            create << Enterprise("7.6.1.1.%1").arg(vid) << "s" << QString::number(vid)
                   << Enterprise("7.6.1.5.%1").arg(vid) << "i"
                   << "4";
        ASSERT_EQ(Set(create), "");
    }
    EXPECT_EQ(Walk(Enterprise("7.6.1.5")).size(), 256);
    EXPECT_EQ(Set({Enterprise("7.6.1.1.3000"), "s", "one-too-many"}), "resourceUnavailable");
    EXPECT_EQ(Set({Enterprise("7.6.1.1.3000"), "s", "x"}, "1"), "(genError)");
    EXPECT_EQ(Set({Enterprise("7.6.1.5.2000"), "i", "6"}), "");
    EXPECT_EQ(Set({Enterprise("7.6.1.1.3000"), "s", "fits", Enterprise("7.6.1.5.3000"), "i", "1"}),
              "");
    // 10 communities, the launch communities among them.
    QStringList communities;
    const int communityRows = Walk(Enterprise("25.5.1.1.3")).size();
    for (int i = 0; i < 10 - communityRows; ++i)
        communities << Enterprise("25.5.1.1.3.2.99.%1").arg(48 + i) << "i"
                    << "4";
    ASSERT_EQ(Set(communities), "");
    EXPECT_EQ(Set({Enterprise("25.5.1.1.3.2.100.48"), "i", "4"}), "resourceUnavailable");
}

TEST_F(BehaviourTest, PortStateFollowsConfigurationAndControl) {
    // Port 7: linked by default, auto at 1000 Mb/s.
    EXPECT_EQ(Get("1.3.6.1.2.1.2.2.1.8.7"), "1");
    EXPECT_EQ(Get("1.3.6.1.2.1.2.2.1.5.7"), "1000000000");
    EXPECT_EQ(Get(Enterprise("1.13.1.3.7")), "2");
    // The link partner offers 100 Mb/s half duplex.
    ASSERT_TRUE(CtlSet("1.1.1.2.7", "i", "100"));
    ASSERT_TRUE(CtlSet("1.1.1.3.7", "i", "1"));
    EXPECT_EQ(Get("1.3.6.1.2.1.2.2.1.5.7"), "100000000");
    EXPECT_EQ(Get(Enterprise("1.13.1.3.7")), "4");
    // Unplugged.
    ASSERT_TRUE(CtlSet("1.1.1.1.7", "i", "2"));
    EXPECT_EQ(Get("1.3.6.1.2.1.2.2.1.8.7"), "2");
    EXPECT_EQ(Get(Enterprise("1.13.1.3.7")), "1");
    ASSERT_TRUE(CtlSet("1.1.1.1.7", "i", "1"));
    // ifAdminStatus down is the port's "Disable" speed, and back.
    EXPECT_EQ(Set({"1.3.6.1.2.1.2.2.1.7.7", "i", "2"}), "");
    EXPECT_EQ(Get(Enterprise("1.13.1.2.7")), "7");
    EXPECT_EQ(Get("1.3.6.1.2.1.2.2.1.8.7"), "2");
    EXPECT_EQ(CtlGet("1.1.1.5.7"), "2");
    EXPECT_EQ(Set({"1.3.6.1.2.1.2.2.1.7.7", "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise("1.13.1.2.7")), "6");
    // A combo port with a 100Base-x module: no 1000M, no auto.
    ASSERT_TRUE(CtlSet("1.1.1.4.25", "i", "3"));
    EXPECT_EQ(Get(Enterprise("1.13.1.7.25")), "3");
    EXPECT_EQ(Set({Enterprise("1.13.1.2.25"), "i", "1"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("1.13.1.2.25"), "i", "2"}), "");
    EXPECT_FALSE(CtlSet("1.1.1.4.3", "i", "3")); // not a combo port
    // Fan.
    ASSERT_TRUE(CtlSet("2.1.0", "i", "2"));
    EXPECT_EQ(Get(Enterprise("1.15.1.0")), "2");
    ASSERT_TRUE(CtlSet("2.1.0", "i", "1"));
}

TEST_F(BehaviourTest, PoeStatusFollowsDevicesAndBudget) {
    EXPECT_EQ(Get(Enterprise("22.1.1.13.1.1")), "\"POWER ON\"");
    ASSERT_TRUE(CtlSet("1.1.1.6.1", "i", "2"));
    EXPECT_EQ(Get(Enterprise("22.1.1.13.1.1")), "\"POWER OFF\"");
    ASSERT_TRUE(CtlSet("1.1.1.6.1", "i", "1"));
    EXPECT_EQ(Set({Enterprise("22.1.1.3.1.1"), "i", "2"}), "");
    EXPECT_EQ(Get(Enterprise("22.1.1.13.1.1")), "\"POWER OFF\"");
    EXPECT_EQ(Set({Enterprise("22.1.1.3.1.1"), "i", "1"}), "");
    ASSERT_TRUE(CtlSet("1.1.1.11.1", "i", "1"));
    EXPECT_EQ(Get(Enterprise("22.1.1.13.1.1")), "\"Time-based OFF\"");
    ASSERT_TRUE(CtlSet("1.1.1.11.1", "i", "2"));
    // A threshold below what the ports draw refuses the last port.
    EXPECT_EQ(Get(Enterprise("22.8.0")), "2");
    EXPECT_EQ(Set({Enterprise("22.2.0"), "s", "8.0"}), "");
    EXPECT_EQ(Get(Enterprise("22.8.0")), "1");
    EXPECT_EQ(Get(Enterprise("22.6.0")).remove(u'"').toDouble() < 8.0, true);
    EXPECT_EQ(Set({Enterprise("22.2.0"), "s", "7.0"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("22.2.0"), "s", "185.0"}), "");
    EXPECT_EQ(Get(Enterprise("22.8.0")), "2");
    // User-defined limits go in steps of 0.2 W.
    EXPECT_EQ(Set({Enterprise("22.1.1.8.1.2"), "s", "16.2"}), "");
    EXPECT_EQ(Set({Enterprise("22.1.1.8.1.2"), "s", "16.1"}), "wrongValue");
}

TEST_F(BehaviourTest, SparseAndEmptyTestTables) {
    const QStringList sparse = Walk(Control("5"), QStringLiteral("nsw-control"));
    ASSERT_EQ(sparse.size(), 8);
    EXPECT_TRUE(sparse[3].startsWith(QStringLiteral(".1.3.6.1.4.1.32473.99.5.1.2.1 ")));
    EXPECT_TRUE(sparse[4].startsWith(QStringLiteral(".1.3.6.1.4.1.32473.99.5.1.2.3 ")));
    EXPECT_TRUE(Walk(Control("6"), QStringLiteral("nsw-control")).isEmpty());
    EXPECT_EQ(Walk(Control("5"), QStringLiteral("nsw-control"), QStringLiteral("snmpbulkwalk")),
              sparse);
}

} // namespace
