// The jumbo frame and multicast filtering pages against nsw-sim.
#include "PageTestKit.h"
#include "pages/switching/Layer2.h"
#include "pages/switching/Stp.h"
#include "platform/ListControl.h"

#include <cstdio>

namespace {

const QString kJumbo = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.12.0");
const QString kMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.8.1.2.");
const QString kVlan = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.");
const QString kForward = QStringLiteral("Forward Unregistered Groups");
const QString kFilter = QStringLiteral("Filtering Unregistered Groups");

enum {
    kJumboBox = 1062,
    kJumboApply = 1,
    kList = 1126,
    kVlanBox = 1127,
    kModeBox = 1129,
    kMulticastApply = 1130,
    kRefresh = 1044
};

class Layer2Page : public CPageTestKit {
protected:
    // The list's rows once the walk after a write has brought them.
    static bool WaitRows(CMulticastFilterPage& page, int rows) {
        return QTest::qWaitFor([&] { return !page.IsBusy() && page.List()->ItemCount() == rows; },
                               10000);
    }
};

} // namespace

TEST_F(Layer2Page, JumboFrameConfirmsWritesAndShowsTheSwitch) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"), QStringLiteral("1"));
    auto page = OpenPage(32817);
    ASSERT_TRUE(page);
    std::printf("[ outcome  ] Jumbo Frame: %s\n", qUtf8Printable(page->OutcomeLine()));
    EXPECT_EQ(page->windowTitle(), "Jumbo Frame Configuration");
    EXPECT_FALSE(IsChecked(*page, kJumboBox));
    Shot(*page, "jumbo-frame");

    Check(*page, kJumboBox, true);
    ASSERT_TRUE(Press(*page, kJumboApply));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"Enabled Jumbo Frame"});
    EXPECT_EQ(Get(kJumbo), "1");
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();
    EXPECT_TRUE(IsChecked(*page, kJumboBox));

    Check(*page, kJumboBox, false);
    ASSERT_TRUE(Press(*page, kJumboApply));
    EXPECT_EQ(m_boxes.Last(), "Disabled Jumbo Frame");
    EXPECT_EQ(Get(kJumbo), "2");

    // What another manager set is what the page opens with.
    ASSERT_TRUE(Set(kJumbo, "i", "1"));
    page = OpenPage(32817);
    ASSERT_TRUE(page);
    EXPECT_TRUE(IsChecked(*page, kJumboBox));
}

TEST_F(Layer2Page, MulticastFilteringPerVlan) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    ASSERT_TRUE(Set(kVlan + "1.10", "s", "office"));
    ASSERT_TRUE(Set(kVlan + "5.10", "i", "1"));
    ASSERT_TRUE(Set(kVlan + "1.20", "s", "lab"));
    ASSERT_TRUE(Set(kVlan + "5.20", "i", "1"));
    ASSERT_TRUE(Set(kMode + "20", "i", "2")); // any code but 0 filters
    auto page = OpenPage(32830);
    ASSERT_TRUE(page);
    std::printf("[ outcome  ] Multicast Filtering: %s\n", qUtf8Printable(page->OutcomeLine()));
    auto& multicast = As<CMulticastFilterPage>(*page);
    CListControl* list = multicast.List();
    EXPECT_EQ(list->Model()->Headers(),
              QStringList({"VLAN ID", "VLAN Name", "Multicast Filtering Mode"}));
    ASSERT_EQ(list->ItemCount(), 3);
    EXPECT_EQ(QStringList({list->ItemText(0, 0), list->ItemText(0, 1), list->ItemText(0, 2)}),
              QStringList({"1", "default", kForward}));
    EXPECT_EQ(QStringList({list->ItemText(1, 0), list->ItemText(1, 1), list->ItemText(1, 2)}),
              QStringList({"10", "office", kForward}));
    EXPECT_EQ(list->ItemText(2, 2), kFilter);
    Shot(*page, "multicast-filtering");

    // Filtering for VLAN 10: written as 1, the list read again.
    Choose(*page, kVlanBox, "10");
    Choose(*page, kModeBox, kFilter);
    ASSERT_TRUE(Press(*page, kMulticastApply));
    ASSERT_TRUE(WaitRows(multicast, 3));
    EXPECT_EQ(Get(kMode + "10"), "1");
    EXPECT_EQ(list->ItemText(1, 2), kFilter);
    EXPECT_TRUE(page->OutcomeLine().contains("Loaded")) << page->OutcomeLine().toStdString();

    // Forwarding for VLAN 20: written as 0.
    Choose(*page, kVlanBox, "20");
    Choose(*page, kModeBox, kForward);
    ASSERT_TRUE(Press(*page, kMulticastApply));
    ASSERT_TRUE(WaitRows(multicast, 3));
    EXPECT_EQ(Get(kMode + "20"), "0");
    EXPECT_EQ(list->ItemText(2, 2), kForward);

    // A VLAN removed elsewhere leaves the list on Refresh.
    ASSERT_TRUE(Set(kVlan + "5.20", "i", "6"));
    Click(*page, kRefresh);
    ASSERT_TRUE(WaitRows(multicast, 2));
    EXPECT_EQ(list->ItemText(1, 0), "10");
}

TEST_F(Layer2Page, ClosingDuringTheWalksTouchesNothingClosed) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(SetControl(QStringLiteral("4.2.0"), QStringLiteral("i"), QStringLiteral("30")));
    for (int i = 0; i < 4; ++i) {
        // The multicast back-end's walk and the port table's walk in flight.
        auto multicast = std::make_unique<CMulticastFilterPage>();
        multicast->show();
        QTest::qWait(i * 10);
        multicast->close();
        multicast.reset();
        auto table = std::make_unique<CStpTablePage>();
        table->show();
        QTest::qWait(i * 10);
        table.reset();
    }
    // Late answers arrive into closed channels and are dropped.
    QTest::qWait(200);
    ASSERT_TRUE(SetControl(QStringLiteral("4.2.0"), QStringLiteral("i"), QStringLiteral("0")));
    auto page = OpenPage(32830);
    ASSERT_TRUE(page);
    EXPECT_EQ(As<CMulticastFilterPage>(*page).List()->ItemCount(), 1);
}
