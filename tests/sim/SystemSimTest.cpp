// Time profiles, power saving, management VLAN and the surveillance VLAN's
// OUI table: the rules the switch keeps behind them.
#include "SimTest.h"

namespace {

const QString kRange = QStringLiteral("23.1.1.");
const QString kPsPort = QStringLiteral("40.5.1.");

class SystemSimTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim(); } // NSW-4410-28P B1
    // Creates time range r active, 08:00-18:00 on Monday.
    static QString MakeRange(int r, const QString& name) {
        const QString i = QString::number(r);
        return Set({Enterprise(kRange + "2." + i), "s", name, Enterprise(kRange + "7." + i), "i",
                    "8", Enterprise(kRange + "12." + i), "i", "18", Enterprise(kRange + "14." + i),
                    "i", "1", Enterprise(kRange + "21." + i), "i", "4"});
    }
};

TEST_F(SystemSimTest, PortShutOffFollowsAnActiveTimeRange) {
    // Shut-off needs a range to follow, and the range must exist.
    EXPECT_EQ(Set({Enterprise(kPsPort + "2.3"), "i", "1"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise(kPsPort + "3.3"), "i", "4"}), "inconsistentValue");
    ASSERT_EQ(MakeRange(4, "office"), "");
    EXPECT_EQ(Get(Enterprise("32.1.1.2.4")), "\"office\"");
    EXPECT_EQ(Set({Enterprise(kPsPort + "3.3"), "i", "4", Enterprise(kPsPort + "2.3"), "i", "1"}),
              "");
    EXPECT_EQ(Get(Enterprise(kPsPort + "2.3")), "1");
    // A range that a port follows cannot be deleted; released, it can.
    EXPECT_EQ(Set({Enterprise(kRange + "21.4"), "i", "6"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise(kPsPort + "2.3"), "i", "2", Enterprise(kPsPort + "3.3"), "i", "0"}),
              "");
    EXPECT_EQ(Set({Enterprise(kRange + "21.4"), "i", "6"}), "");
    EXPECT_TRUE(Walk(Enterprise("32.1.1.2")).isEmpty());
    // Globals: enumerations 1 and 2 only.
    EXPECT_EQ(Set({Enterprise("40.1.0"), "i", "1", Enterprise("40.3.0"), "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise("40.1.0")), "1");
    EXPECT_EQ(Set({Enterprise("40.2.0"), "i", "3"}), "wrongValue");
}

TEST_F(SystemSimTest, ManagementVlanNeedsItsVlanAndKeepsIt) {
    EXPECT_EQ(Get(Enterprise("41.1.0")), "2");
    // No VLAN 30 yet: refused.
    EXPECT_EQ(Set({Enterprise("41.2.0"), "i", "30", Enterprise("41.1.0"), "i", "1"}),
              "inconsistentValue");
    ASSERT_EQ(Set({Enterprise("7.6.1.1.30"), "s", "mgmt", Enterprise("7.6.1.5.30"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("41.2.0"), "i", "30", Enterprise("41.1.0"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("41.2.0"), "i", "5000"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("7.6.1.5.30"), "i", "6"}), "inconsistentValue");
    // The surveillance VLAN's VLAN is kept the same way.
    ASSERT_EQ(Set({Enterprise("7.6.1.1.31"), "s", "cams", Enterprise("7.6.1.5.31"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("26.1.2.0"), "i", "31", Enterprise("26.1.1.0"), "i", "1"}), "");
    EXPECT_EQ(Set({Enterprise("7.6.1.5.31"), "i", "6"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("26.1.1.0"), "i", "2"}), "");
    EXPECT_EQ(Set({Enterprise("7.6.1.5.31"), "i", "6"}), "");
    // The asymmetric mode resets the VLANs, and the management VLAN with them.
    EXPECT_EQ(Set({Enterprise("7.5.0"), "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise("41.1.0")), "2");
    EXPECT_EQ(Get(Enterprise("41.2.0")), "1");
    EXPECT_EQ(Set({Enterprise("41.1.0"), "i", "1"}), "inconsistentValue"); // asymmetric
    EXPECT_EQ(Set({Enterprise("7.5.0"), "i", "2"}), "");
    EXPECT_EQ(Set({Enterprise("41.1.0"), "i", "1"}), "");
}

TEST_F(SystemSimTest, SurveillanceOuiTable) {
    EXPECT_EQ(Get(Enterprise("26.2.1.3.1")), "\"Axis\"");
    EXPECT_EQ(Set({Enterprise("26.1.3.0"), "i", "6", Enterprise("26.1.4.0"), "i", "30"}), "");
    EXPECT_EQ(Get(Enterprise("26.1.4.0")), "30");
    EXPECT_EQ(Set({Enterprise("26.1.3.0"), "i", "8"}), "wrongValue");
    // createAndGo of a new prefix; the same prefix twice, a multicast or an
    // empty prefix is refused, and so is a prefix of the wrong length.
    EXPECT_EQ(Set({Enterprise("26.2.1.2.5"), "x", "001122", Enterprise("26.2.1.3.5"), "s", "cam",
                   Enterprise("26.2.1.4.5"), "i", "4"}),
              "");
    EXPECT_EQ(Get(Enterprise("26.2.1.1.5")), "5");
    EXPECT_EQ(Set({Enterprise("26.2.1.2.6"), "x", "001122", Enterprise("26.2.1.4.6"), "i", "4"}),
              "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("26.2.1.2.6"), "x", "010203", Enterprise("26.2.1.4.6"), "i", "4"}),
              "wrongValue");
    EXPECT_EQ(Set({Enterprise("26.2.1.2.6"), "x", "000000", Enterprise("26.2.1.4.6"), "i", "4"}),
              "wrongValue");
    EXPECT_EQ(Set({Enterprise("26.2.1.2.6"), "x", "0011", Enterprise("26.2.1.4.6"), "i", "4"}),
              "wrongLength");
    EXPECT_EQ(Set({Enterprise("26.2.1.2.17"), "x", "001123", Enterprise("26.2.1.4.17"), "i", "4"}),
              "noCreation");
    EXPECT_EQ(Set({Enterprise("26.2.1.4.5"), "i", "6"}), "");
    EXPECT_TRUE(Get(Enterprise("26.2.1.2.5")).startsWith("No Such"));
}

// A model without PoE keeps time ranges for power saving; one without the
// per-port part has no port table.
class SystemSimModelsTest : public CSimSuite {};

TEST_F(SystemSimModelsTest, TimeRangesWithoutPoeAndPortPartByModel) {
    StartSim({"--model", "NSW-4410-28 B1"});
    EXPECT_EQ(Set({Enterprise("23.1.1.2.2"), "s", "night", Enterprise("23.1.1.7.2"), "i", "20",
                   Enterprise("23.1.1.12.2"), "i", "6", Enterprise("23.1.1.21.2"), "i", "4"}),
              "inconsistentValue"); // starts after it ends
    EXPECT_EQ(Set({Enterprise("23.1.1.2.2"), "s", "night", Enterprise("23.1.1.7.2"), "i", "0",
                   Enterprise("23.1.1.12.2"), "i", "6", Enterprise("23.1.1.21.2"), "i", "4"}),
              "");
    EXPECT_EQ(Get(Enterprise("32.1.1.2.2")), "\"night\"");
    EXPECT_EQ(Set({Enterprise("40.5.1.3.28"), "i", "2"}), "");
    TearDownTestSuite();
    StartSim({"--model", "NGX-4600-20"});
    EXPECT_TRUE(Get(Enterprise("40.5.1.2.1")).startsWith("No Such"));
    EXPECT_EQ(Get(Enterprise("40.1.0")), "2");
}

} // namespace
