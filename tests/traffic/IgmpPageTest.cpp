// The IGMP snooping page against nsw-sim.
#include "PageTestKit.h"
#include "pages/traffic/Igmp.h"
#include "platform/ListControl.h"

namespace {

constexpr int kIgmpCommand = 32861;
enum {
    kIdEnable = 7401,
    kIdHostTimeout,
    kIdQuerier,
    kIdApplyGlobal,
    kIdList,
    kIdVid,
    kIdVlanState,
    kIdFastLeave,
    kIdApplyVlan,
};
const QString kIgmp = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.19.");
const QString kVlan = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.");

class IgmpPage : public CPageTestKit {
protected:
    bool AddVlan(int vid) {
        return Set(kVlan + QStringLiteral("1.%1").arg(vid), "s", QStringLiteral("v%1").arg(vid)) &&
               Set(kVlan + QStringLiteral("5.%1").arg(vid), "i", "1");
    }
};

} // namespace

TEST_F(IgmpPage, GlobalAndPerVlanSettings) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"), QStringLiteral("3"));
    ASSERT_TRUE(AddVlan(20));
    auto page = OpenPage(kIgmpCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "IGMP Snooping Configuration");
    EXPECT_FALSE(IsChecked(*page, kIdEnable));
    EXPECT_EQ(Text(*page, kIdHostTimeout), "260");
    CListControl* list = As<CIgmpSnoopingPage>(*page).List();
    ASSERT_EQ(list->ItemCount(), 2);
    EXPECT_EQ(list->ItemText(1, 0), "20");
    EXPECT_EQ(list->ItemText(1, 1), "Disabled");

    Check(*page, kIdEnable, true);
    SetText(*page, kIdHostTimeout, QStringLiteral("300"));
    Check(*page, kIdQuerier, true);
    ASSERT_TRUE(Press(*page, kIdApplyGlobal));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded ")) << page->OutcomeLine();
    EXPECT_EQ(Get(kIgmp + "1.0"), "1");
    EXPECT_EQ(Get(kIgmp + "2.0"), "300");
    EXPECT_EQ(Get(kIgmp + "3.0"), "1");

    list->SelectRow(1);
    EXPECT_EQ(Text(*page, kIdVid), "20");
    Choose(*page, kIdVlanState, QStringLiteral("Enabled"));
    Choose(*page, kIdFastLeave, QStringLiteral("Enabled"));
    ASSERT_TRUE(Press(*page, kIdApplyVlan));
    EXPECT_EQ(Get(kIgmp + "4.1.2.20"), "1");
    EXPECT_EQ(Get(kIgmp + "4.1.3.20"), "1");
    EXPECT_EQ(Get(kIgmp + "4.1.2.1"), "2");
    EXPECT_EQ(list->ItemText(1, 1), "Enabled");
    EXPECT_EQ(list->ItemText(1, 2), "Enabled");
    Shot(*page, QStringLiteral("traffic-igmp"));

    ResetRequests();
    SetText(*page, kIdHostTimeout, QStringLiteral("129"));
    Click(*page, kIdApplyGlobal);
    EXPECT_EQ(m_boxes.Last(), "Invalid Host Timeout (130 - 1225 seconds).");
    EXPECT_EQ(Requests(), 0);
}

TEST_F(IgmpPage, AVlanDeletedMeanwhileIsRefused) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(AddVlan(30));
    auto page = OpenPage(kIgmpCommand);
    ASSERT_TRUE(page);
    CListControl* list = As<CIgmpSnoopingPage>(*page).List();
    ASSERT_EQ(list->ItemCount(), 2);
    Click(*page, kIdApplyVlan);
    EXPECT_EQ(m_boxes.Last(), "Please select a VLAN first.");

    list->SelectRow(1);
    ASSERT_TRUE(Set(kVlan + "5.30", "i", "6"));
    Choose(*page, kIdVlanState, QStringLiteral("Enabled"));
    ASSERT_TRUE(Press(*page, kIdApplyVlan));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Refused by the switch: ")) << page->OutcomeLine();
    EXPECT_EQ(list->ItemCount(), 1); // reloaded: VLAN 30 is gone
}
