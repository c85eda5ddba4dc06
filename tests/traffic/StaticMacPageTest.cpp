// The static MAC page against nsw-sim, and its entries on the Forwarding
// Table page that opens it.
#include "PageTestKit.h"
#include "pages/mib2/MibPages.h"
#include "pages/traffic/StaticMac.h"
#include "platform/ListControl.h"

#include <QTimer>

namespace {

constexpr int kStaticMacCommand = 32835;
constexpr int kForwardingCommand = 32810;
enum { kIdList = 7501, kIdMac, kIdVid, kIdPort, kIdAdd, kIdDelete, kIdRefresh };
const QString kStatic = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.9.4.1.");
const QString kVlan = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.");
const QString kIndex = QStringLiteral("1.0.17.34.51.68.85");

class StaticMacPage : public CPageTestKit {
protected:
    // The forwarding table's line of a MAC: status and port; empty when none.
    static QStringList FdbLine(CPageBase& page, const QString& mac) {
        CListControl* list = As<CForwardingTablePage>(page).List();
        for (int r = 0; r < list->ItemCount(); ++r)
            if (list->ItemText(r, 0) == mac)
                return {list->ItemText(r, 1), list->ItemText(r, 2)};
        return {};
    }
};

} // namespace

TEST_F(StaticMacPage, AddShowInTheForwardingTableAndDelete) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"), QStringLiteral("2"), {"--fdb", "30"});
    auto page = OpenPage(kStaticMacCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Static MAC Configuration");
    CListControl* list = As<CStaticMacPage>(*page).List();
    EXPECT_EQ(list->ItemCount(), 0);

    SetText(*page, kIdMac, QStringLiteral("00-11-22-33-44-55"));
    SetText(*page, kIdVid, QStringLiteral("1"));
    Choose(*page, kIdPort, QStringLiteral("5"));
    ASSERT_TRUE(Press(*page, kIdAdd));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded ")) << page->OutcomeLine();
    EXPECT_EQ(Get(kStatic + "3." + kIndex), "5");
    EXPECT_EQ(Get(kStatic + "4." + kIndex), "1");
    ASSERT_EQ(list->ItemCount(), 1);
    EXPECT_EQ(list->ItemText(0, 0), "00-11-22-33-44-55");
    EXPECT_EQ(list->ItemText(0, 1), "1");
    EXPECT_EQ(list->ItemText(0, 2), "5");
    EXPECT_EQ(Text(*page, 7509), "1");
    Shot(*page, QStringLiteral("traffic-static-mac"));

    // The same entry again is refused by the page.
    ResetRequests();
    Click(*page, kIdAdd);
    EXPECT_EQ(m_boxes.Last(), "The MAC address already exists in VLAN 1.");
    SetText(*page, kIdVid, QStringLiteral("7"));
    Click(*page, kIdAdd);
    EXPECT_EQ(m_boxes.Last(), "VLAN 7 does not exist.");
    EXPECT_EQ(Requests(), 0);

    // The forwarding table lists it as static, and its button opens this page.
    auto fdb = OpenPage(kForwardingCommand);
    ASSERT_TRUE(fdb);
    EXPECT_EQ(FdbLine(*fdb, "00-11-22-33-44-55"), QStringList({"Static", "5"}));
    QString opened;
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }, 5000))
            return;
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->windowTitle();
            static_cast<QDialog*>(modal)->reject();
        }
    });
    Shot(*fdb, QStringLiteral("traffic-forwarding-static"));
    ASSERT_TRUE(Press(*fdb, CForwardingTablePage::kIdStaticMac)); // and the reload after it
    EXPECT_EQ(opened, "Static MAC Configuration");
    EXPECT_EQ(FdbLine(*fdb, "00-11-22-33-44-55"), QStringList({"Static", "5"}));

    list->SelectRow(0);
    ASSERT_TRUE(Press(*page, kIdDelete));
    EXPECT_EQ(Get(kStatic + "4." + kIndex), "");
    EXPECT_EQ(list->ItemCount(), 0);
    ASSERT_TRUE(Press(*fdb, 20)); // Refresh
    EXPECT_TRUE(FdbLine(*fdb, "00-11-22-33-44-55").isEmpty());
    Click(*page, kIdDelete);
    EXPECT_EQ(m_boxes.Last(), "Please select the entry to delete.");
}

TEST_F(StaticMacPage, AVlanDeletedMeanwhileIsRefused) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    ASSERT_TRUE(Set(kVlan + "1.30", "s", "cams"));
    ASSERT_TRUE(Set(kVlan + "5.30", "i", "1"));
    auto page = OpenPage(kStaticMacCommand);
    ASSERT_TRUE(page);
    ASSERT_TRUE(Set(kVlan + "5.30", "i", "6"));
    SetText(*page, kIdMac, QStringLiteral("00-11-22-33-44-55"));
    SetText(*page, kIdVid, QStringLiteral("30"));
    Choose(*page, kIdPort, QStringLiteral("10"));
    ASSERT_TRUE(Press(*page, kIdAdd));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Refused by the switch: inconsistentValue"))
        << page->OutcomeLine();
    EXPECT_EQ(As<CStaticMacPage>(*page).List()->ItemCount(), 0);
    // Reloaded, the page knows the VLAN is gone.
    Click(*page, kIdAdd);
    EXPECT_EQ(m_boxes.Last(), "VLAN 30 does not exist.");
}
