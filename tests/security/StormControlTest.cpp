// Storm control: unit by model, the range of N, the live result, and the page
// with its back-end against the simulator.
#include "pages/security/StormControl.h"
#include "PageTestKit.h"

namespace {

constexpr int kStormCommand = 32864;
const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.3.1.0");
const QString kType = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.3.2.0");
const QString kThreshold = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.3.3.0");
constexpr int kIdEnable = 1091, kIdType = 1277, kIdResult = 1005, kIdN = 1279, kIdUnit = 1278,
              kIdApply = 1276, kIdRefresh = 1044;
const QString kRange = QStringLiteral("Invalid input of N ( input range must between 1~16000)");

class StormPage : public CPageTestKit {};

} // namespace

TEST(StormChecks, UnitPerModelRangeEndsAndResult) {
    EXPECT_EQ(StormUnit("NSW-4410-28P B1"), 63);
    EXPECT_EQ(StormUnit("NSW-4410-08P B1"), 63);
    for (const char* model :
         {"NSW-4410-28 B1", "NSW-4410-28P", "NSW-4410-52 B1", "NGX-4410-10P", "NGX-4600-28", ""})
        EXPECT_EQ(StormUnit(model), 64) << model;

    EXPECT_EQ(CheckStormN("1"), "");
    EXPECT_EQ(CheckStormN("16000"), "");
    EXPECT_EQ(CheckStormN(" 250 "), "");
    for (const char* bad : {"0", "16001", "-1", "", "abc", "12a", "99999999999"})
        EXPECT_EQ(CheckStormN(bad), kRange) << bad;

    EXPECT_EQ(StormThresholdText("16000", 63), "1008000");
    EXPECT_EQ(StormThresholdText("16000", 64), "1024000");
    EXPECT_EQ(StormThresholdText("x", 64), "");
    EXPECT_EQ(StormThresholdText("", 64), "");
    // N x unit beyond 64 bits is no threshold; it was shown wrapped round.
    EXPECT_EQ(StormThresholdText("200000000000000000", 64), "");
    EXPECT_EQ(StormThresholdText("-9223232566364339893", 63), "");
    EXPECT_EQ(StormThresholdText("144115188075855871", 64), "9223372036854775744");
    EXPECT_EQ(StormNText("0", 64), "0");
    EXPECT_EQ(StormNText("1024000", 64), "16000");
    EXPECT_EQ(StormNText("630", 63), "10");
}

TEST_F(StormPage, EnableWithTheSixtyThreeUnitAndSwitchOff) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto page = OpenPage(kStormCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, kIdUnit), "63Kbps  ");
    EXPECT_FALSE(IsChecked(*page, kIdEnable));
    EXPECT_FALSE(IsEnabled(*page, kIdN));
    EXPECT_FALSE(IsEnabled(*page, kIdType));
    EXPECT_TRUE(IsEnabled(*page, kIdApply));
    EXPECT_EQ(Text(*page, kIdN), "0");

    Check(*page, kIdEnable, true);
    EXPECT_TRUE(IsEnabled(*page, kIdN));
    EXPECT_TRUE(IsEnabled(*page, kIdType));
    Choose(*page, kIdType, QStringLiteral("Multicast & Broadcast & Unknown Unicast"));
    SetText(*page, kIdN, "12x");
    EXPECT_EQ(Text(*page, kIdResult), "");
    for (const char* bad : {"0", "16001"}) {
        SetText(*page, kIdN, bad);
        Click(*page, kIdApply);
        EXPECT_EQ(m_boxes.Last(), kRange) << bad;
    }
    EXPECT_EQ(Get(kState), "2");
    SetText(*page, kIdN, "16000");
    EXPECT_EQ(Text(*page, kIdResult), "1008000");
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();
    EXPECT_EQ(Get(kState), "1");
    EXPECT_EQ(Get(kType), "3");
    EXPECT_EQ(Get(kThreshold), "1008000");
    Shot(*page, QStringLiteral("storm-control"));

    // Switched off, N is not asked for and type and threshold stay.
    SetText(*page, kIdN, "0");
    Check(*page, kIdEnable, false);
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_EQ(Get(kState), "2");
    EXPECT_EQ(Get(kThreshold), "1008000");
    EXPECT_EQ(Text(*page, kIdN), "16000"); // reloaded
    EXPECT_FALSE(IsEnabled(*page, kIdN));

    ASSERT_TRUE(Set(kThreshold, "i", "630"));
    ASSERT_TRUE(Press(*page, kIdRefresh));
    EXPECT_EQ(Text(*page, kIdN), "10");
    EXPECT_EQ(Text(*page, kIdResult), "630");
}

TEST_F(StormPage, SixtyFourUnit) {
    StartSwitch(QStringLiteral("NSW-4410-28 B1"));
    auto page = OpenPage(kStormCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, kIdUnit), "64Kbps  ");
    Check(*page, kIdEnable, true);
    SetText(*page, kIdN, "16000");
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_EQ(Get(kThreshold), "1024000");
}

TEST_F(StormPage, WriteThePagePassesAndTheSwitchRefuses) {
    // A profile that says 64 against a switch counting in 63: the page's
    // check passes, the switch refuses, the line says so and the page shows
    // what the switch kept.
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    UseAgent(m_sim.Port(), QStringLiteral("NSW-4410-28 B1")); // same ports, other unit
    auto other = OpenPage(kStormCommand);
    ASSERT_TRUE(other);
    Check(*other, kIdEnable, true);
    SetText(*other, kIdN, "10");
    ASSERT_TRUE(Press(*other, kIdApply));
    EXPECT_TRUE(other->OutcomeLine().contains("wrongValue")) << other->OutcomeLine().toStdString();
    EXPECT_EQ(Get(kState), "2");
    EXPECT_FALSE(IsChecked(*other, kIdEnable));
    EXPECT_EQ(Text(*other, kIdN), "0");
}

TEST_F(StormPage, OverSnmpV3) {
    StartSwitch(QStringLiteral("NSW-4410-08P B1"), QStringLiteral("3"));
    auto page = OpenPage(kStormCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, kIdUnit), "63Kbps  ");
    Check(*page, kIdEnable, true);
    Choose(*page, kIdType, QStringLiteral("Multicast & Broadcast"));
    SetText(*page, kIdN, "1");
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_EQ(Get(kThreshold), "63");
    EXPECT_EQ(Get(kType), "2");
    EXPECT_EQ(Text(*page, kIdResult), "63");
}
