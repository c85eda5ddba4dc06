// Traffic segmentation: the common forwarding set of a source range, the
// link-aggregation refusal, and the page against the simulator.
#include "pages/security/Segmentation.h"
#include "PageTestKit.h"
#include "platform/ListControl.h"

namespace {

constexpr int kSegmentationCommand = 32863;
const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.9.1.0");
const QString kList = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.9.2.1.2.");
constexpr int kIdFrom = 1038, kIdTo = 1040, kIdApplyPorts = 1011;

class SegmentationPage : public CPageTestKit {
protected:
    static std::vector<int> Boxes(CPageBase& page, int ports) {
        std::vector<int> flags;
        for (int port = 1; port <= ports; ++port)
            flags.push_back(IsChecked(page, 6000 + port) ? 1 : 0);
        return flags;
    }
};

} // namespace

TEST(SegmentationChecks, CommonSetOfARangeAndLinkMembers) {
    const std::vector<std::vector<int>> lists{
        {1, 1, 0, 1}, {1, 1, 1, 0}, {1, 1, 1, 1}, {0, 0, 0, 0}};
    EXPECT_EQ(CommonForwarding(lists, 1, 2), (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(CommonForwarding(lists, 2, 1), (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(CommonForwarding(lists, 3, 3), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(CommonForwarding(lists, 3, 4), (std::vector<int>{0, 0, 0, 0}));

    const std::vector<int> lag{0, 0, 1, 1};
    const QString refused =
        QStringLiteral("The link aggregation member port can not be configured.");
    EXPECT_EQ(CheckSegmentationSources(1, 2, lag), "");
    EXPECT_EQ(CheckSegmentationSources(1, 3, lag), refused);
    EXPECT_EQ(CheckSegmentationSources(4, 4, lag), refused);
    EXPECT_EQ(CheckSegmentationSources(4, 1, lag), refused);
}

TEST_F(SegmentationPage, RangeWritesTheCommonSetAndRefusesLinkMembers) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(Set("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.1", "x", "03000000")); // ports 7, 8
    auto page = OpenPage(kSegmentationCommand);
    ASSERT_TRUE(page);
    CListControl* list = As<CSegmentationPage>(*page).List();
    ASSERT_EQ(list->ItemCount(), 28);
    EXPECT_EQ(list->ItemText(4, 0), "5");
    EXPECT_EQ(list->ItemText(4, 1), "1-28");

    Check(*page, 1037, true);
    ASSERT_TRUE(Press(*page, 1003));
    EXPECT_EQ(Get(kState), "1");
    EXPECT_TRUE(IsChecked(*page, 1037));

    Choose(*page, kIdFrom, QStringLiteral("3"));
    Choose(*page, kIdTo, QStringLiteral("5"));
    Click(*page, 1149); // Clear
    EXPECT_EQ(Boxes(*page, 28), std::vector<int>(28, 0));
    Click(*page, 1120); // ALL
    EXPECT_EQ(Boxes(*page, 28), std::vector<int>(28, 1));
    Click(*page, 1149);
    Check(*page, 6001, true);
    Check(*page, 6002, true);
    ASSERT_TRUE(Press(*page, kIdApplyPorts));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();
    for (const char* port : {"3", "4", "5"})
        EXPECT_EQ(GetHex(kList + port), "c0000000") << port;
    EXPECT_EQ(GetHex(kList + "6"), "fffffff0");
    EXPECT_EQ(list->ItemText(3, 1), "1-2");

    // Port 4 may also reach port 3: the range still shares only 1 and 2; a
    // click on its line shows its own set.
    ASSERT_TRUE(Set(kList + "4", "x", "E0000000"));
    ASSERT_TRUE(Press(*page, 1044));
    std::vector<int> common(28, 0);
    common[0] = common[1] = 1;
    EXPECT_EQ(Boxes(*page, 28), common);
    emit list->RowActivated(3);
    EXPECT_EQ(Text(*page, kIdFrom), "4");
    EXPECT_EQ(Text(*page, kIdTo), "4");
    common[2] = 1;
    EXPECT_EQ(Boxes(*page, 28), common);
    Shot(*page, QStringLiteral("traffic-segmentation"));

    // A range that takes a link member is refused before anything is sent.
    Choose(*page, kIdFrom, QStringLiteral("6"));
    Choose(*page, kIdTo, QStringLiteral("8"));
    ResetRequests();
    Click(*page, kIdApplyPorts);
    EXPECT_EQ(m_boxes.Last(), "The link aggregation member port can not be configured.");
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(GetHex(kList + "6"), "fffffff0");
}
