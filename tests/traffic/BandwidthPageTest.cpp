// The bandwidth control page against nsw-sim.
#include "PageTestKit.h"
#include "pages/switching/Trunk.h"
#include "pages/traffic/Bandwidth.h"
#include "platform/ListControl.h"

#include <QCheckBox>

namespace {

constexpr int kBandwidthCommand = 32836;
enum {
    kIdList = 7301,
    kIdFrom,
    kIdTo,
    kIdIngress,
    kIdEgress,
    kIdStormType,
    kIdStormRate,
    kIdApply,
};
const QString kRate = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.1.2.1.");
const QString kStorm = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.13.4.2.1.");
const QString kMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.");

class BandwidthPage : public CPageTestKit {};

} // namespace

TEST_F(BandwidthPage, LimitsARangeOfPorts) {
    StartSwitch(QStringLiteral("NSW-4410-28 B1"));
    auto page = OpenPage(kBandwidthCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "BandWidth Control");
    CListControl* list = As<CBandwidthPage>(*page).List();
    ASSERT_EQ(list->ItemCount(), 28);
    EXPECT_EQ(list->ItemText(0, 1), "No Limit");
    EXPECT_EQ(list->ItemText(0, 3), "None");
    EXPECT_EQ(list->ItemText(0, 4), "unlimited");

    list->SelectRow(2); // port 3 fills the fields
    EXPECT_EQ(Text(*page, kIdFrom), "3");
    EXPECT_EQ(Text(*page, kIdIngress), "0");
    Choose(*page, kIdTo, QStringLiteral("4"));
    SetText(*page, kIdIngress, QStringLiteral("640"));
    SetText(*page, kIdEgress, QStringLiteral("0"));
    Choose(*page, kIdStormType, QStringLiteral("Broadcast+Multicast"));
    SetText(*page, kIdStormRate, QStringLiteral("6400"));
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded ")) << page->OutcomeLine();
    for (const char* port : {"3", "4"}) {
        EXPECT_EQ(Get(kRate + "2." + port), "640");
        EXPECT_EQ(Get(kRate + "3." + port), "0");
        EXPECT_EQ(Get(kStorm + "3." + port), "5");
        EXPECT_EQ(Get(kStorm + "4." + port), "6400");
    }
    EXPECT_EQ(Get(kRate + "2.5"), "0");
    EXPECT_EQ(list->ItemText(3, 1), "640");
    EXPECT_EQ(list->ItemText(3, 2), "No Limit");
    EXPECT_EQ(list->ItemText(3, 3), "Broadcast+Multicast");
    EXPECT_EQ(list->ItemText(3, 4), "6400");
    Shot(*page, QStringLiteral("traffic-bandwidth"));

    // The link-aggregation rules see the rate: ports 4 and 5 now differ.
    {
        CTrunkMemberDlg window(1, QStringLiteral("LACP"), QString());
        window.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsLoadDone(); }, 20000));
        window.Control<QCheckBox>(2004)->setChecked(true);
        window.Control<QCheckBox>(2005)->setChecked(true);
        EXPECT_FALSE(window.Submit());
        EXPECT_EQ(
            m_boxes.Last(),
            "Cannot add ports with different rate control configurations to an aggregated link.");
    }

    // A range that takes part of a link is refused before anything is sent.
    ASSERT_TRUE(Set(kMembers + "1", "x", "03000000")); // ports 7 and 8
    ASSERT_TRUE(Press(*page, 7309));                   // Refresh
    Choose(*page, kIdFrom, QStringLiteral("6"));
    Choose(*page, kIdTo, QStringLiteral("7"));
    ResetRequests();
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Last(), "The ports must take all or none of the ports of aggregated link 1.");
    SetText(*page, kIdIngress, QStringLiteral("1000001"));
    Choose(*page, kIdTo, QStringLiteral("8"));
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Last(), "Invalid ingress rate (0 - 1000000 Kbps, 0 for no limit).");
    EXPECT_EQ(Requests(), 0);
}

TEST_F(BandwidthPage, LinksGoInOneStepAndARefusalNamesItsPort) {
    StartSwitch(QStringLiteral("NSW-4410-52 B1"));
    ASSERT_TRUE(Set(kMembers + "2", "x", "0000000000060000")); // ports 46 and 47
    auto page = OpenPage(kBandwidthCommand);
    ASSERT_TRUE(page);
    ASSERT_EQ(As<CBandwidthPage>(*page).List()->ItemCount(), 52);
    // A link inside the range changes in one request.
    Choose(*page, kIdFrom, QStringLiteral("45"));
    Choose(*page, kIdTo, QStringLiteral("47"));
    SetText(*page, kIdIngress, QStringLiteral("256"));
    SetText(*page, kIdEgress, QStringLiteral("0"));
    SetText(*page, kIdStormRate, QStringLiteral("0"));
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. ")) << page->OutcomeLine();
    for (const char* port : {"45", "46", "47"})
        EXPECT_EQ(Get(kRate + "2." + port), "256") << port;

    // Ports 50 and 51 form a link the page has not loaded: port 49 is
    // written, the switch refuses port 50 alone.
    ASSERT_TRUE(Set(kMembers + "1", "x", "0000000000006000"));
    Choose(*page, kIdFrom, QStringLiteral("49"));
    Choose(*page, kIdTo, QStringLiteral("50"));
    SetText(*page, kIdIngress, QStringLiteral("128"));
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith(
        "Step 2 of 2 (port 50) not applied: refused by the switch: inconsistentValue at ingress rate.50"))
        << page->OutcomeLine();
    EXPECT_EQ(Get(kRate + "2.49"), "128");
    EXPECT_EQ(Get(kRate + "2.50"), "0");
    EXPECT_EQ(As<CBandwidthPage>(*page).List()->ItemText(48, 1), "128"); // reloaded
    EXPECT_EQ(As<CBandwidthPage>(*page).List()->ItemText(49, 1), "No Limit");
}

TEST_F(BandwidthPage, ModelsWithoutBandwidthControlGetADisabledPage) {
    StartSwitch(QStringLiteral("NGX-4600-20"));
    auto page = OpenPage(kBandwidthCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->OutcomeLine(), "Bandwidth control is not offered on the NGX-4600-20.");
    EXPECT_FALSE(IsEnabled(*page, kIdList));
    EXPECT_FALSE(IsEnabled(*page, kIdApply));
}
