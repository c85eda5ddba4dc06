// The 802.1X pages against nsw-sim: every SET read back from the switch.
#include "PageTestKit.h"
#include "pages/management/Dot1x.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"

#include <QTimer>

namespace {

constexpr int kDot1xCommand = 32792;
// Global page.
constexpr int kIdEnable = 1012, kIdServer = 1013, kIdKey = 1004, kIdConfirm = 1005,
              kIdTxPeriod = 1003, kIdQuietPeriod = 1008, kIdReAuth = 1040, kIdMaxReq = 1042,
              kIdReAuthPeriod = 1043, kIdApply = 242, kIdPortSet = 1000, kIdList = 1011;
// Port page.
constexpr int kIdFrom = 1007, kIdTo = 1085, kIdControl = 1087, kIdPortList = 1045, kIdPortApply = 1,
              kIdPortRefresh = 1044;

QString Dot1x(const QString& suffix) {
    return QStringLiteral("1.3.6.1.4.1.32473.10.75.7.11.") + suffix;
}
QString Control(int port) {
    return Dot1x(QStringLiteral("2.9.1.2.%1").arg(port));
}

class Dot1xPage : public CPageTestKit {
protected:
    // The port page, as "&PortSet" opens it, without running it modally.
    std::unique_ptr<CDot1xPortPage> OpenPortPage() {
        auto page = std::make_unique<CDot1xPortPage>();
        page->show();
        EXPECT_TRUE(WaitSettled(*page, 0)) << page->OutcomeLine().toStdString();
        return page;
    }
    // Writes behind the page's back.
    void Aggregate(int group, const QString& hexMembers) {
        ASSERT_TRUE(Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.%1").arg(group),
                        QStringLiteral("x"), hexMembers));
    }
};

TEST_F(Dot1xPage, GlobalApplyWritesEveryObjectInOneRequest) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto page = OpenPage(kDot1xCommand);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsChecked(*page, kIdEnable));
    EXPECT_FALSE(IsEnabled(*page, kIdKey));
    auto* list = page->Control<CListControl>(kIdList);
    ASSERT_EQ(list->ItemCount(), 28);
    EXPECT_EQ(list->ItemText(0, 2), "ForceAuthorized");
    EXPECT_EQ(list->ItemText(0, 4), "30"); // TxPeriod

    Check(*page, kIdEnable, true);
    EXPECT_TRUE(IsEnabled(*page, kIdKey));
    page->Control<CIpAddressEdit>(kIdServer)->SetAddress(QStringLiteral("127.0.0.9"));
    SetText(*page, kIdKey, QStringLiteral("s3cret"));
    SetText(*page, kIdConfirm, QStringLiteral("s3cret"));
    SetText(*page, kIdQuietPeriod, QStringLiteral("0"));
    SetText(*page, kIdTxPeriod, QStringLiteral("45"));
    SetText(*page, kIdMaxReq, QStringLiteral("10"));
    SetText(*page, kIdReAuthPeriod, QStringLiteral("4294967295"));
    Choose(*page, kIdReAuth, QStringLiteral("Enable"));
    ResetRequests();
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded ")) << page->OutcomeLine();
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last();
    EXPECT_EQ(Get(Dot1x("2.1.0")), "1");
    EXPECT_EQ(Get(Dot1x("1.1.0")), "127.0.0.9");
    EXPECT_EQ(Get(Dot1x("1.2.0")), "s3cret");
    EXPECT_EQ(Get(Dot1x("2.2.0")), "1");
    EXPECT_EQ(Get(Dot1x("2.3.0")), "0");
    EXPECT_EQ(Get(Dot1x("2.4.0")), "45");
    EXPECT_EQ(Get(Dot1x("2.7.0")), "10");
    EXPECT_EQ(Get(Dot1x("2.8.0")), "4294967295");
    EXPECT_EQ(Text(*page, kIdTxPeriod), "45");
    EXPECT_EQ(list->ItemText(27, 4), "45");
    Shot(*page, QStringLiteral("dot1x-global"));

    // "&PortSet" opens the port page over this one.
    QString portPageTitle;
    QTimer::singleShot(0, [&portPageTitle] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            portPageTitle = modal->windowTitle();
            QTest::qWait(200);
            static_cast<QDialog*>(modal)->reject();
        }
    });
    Click(*page, kIdPortSet);
    EXPECT_EQ(portPageTitle, "802.1X Port Configuration");

    // A check that fails sends nothing and leaves the switch as it was.
    SetText(*page, kIdTxPeriod, QStringLiteral("0"));
    ResetRequests();
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Last(), "Invalid TxPeriod (1-65535)");
    SetText(*page, kIdTxPeriod, QStringLiteral("45"));
    SetText(*page, kIdKey, QString(33, u'k'));
    SetText(*page, kIdConfirm, QString(33, u'k'));
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Last(), "Invalid Key. The key can hold at most 32 characters.");
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(Get(Dot1x("1.2.0")), "s3cret");

    // Disabling sends the state alone: the bad timer is not even looked at.
    m_boxes.Clear();
    SetText(*page, kIdTxPeriod, QStringLiteral("0"));
    Check(*page, kIdEnable, false);
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last();
    EXPECT_EQ(Get(Dot1x("2.1.0")), "2");
    EXPECT_EQ(Get(Dot1x("2.4.0")), "45");
    EXPECT_EQ(Text(*page, kIdTxPeriod), "45");
}

TEST_F(Dot1xPage, PortRangesGoInBatchesOfThirty) {
    StartSwitch(QStringLiteral("NSW-4410-52 B1"));
    auto page = OpenPortPage();
    auto* list = page->Control<CListControl>(kIdPortList);
    ASSERT_EQ(list->ItemCount(), 52);

    // "To" follows "From" and may not go below it.
    Choose(*page, kIdFrom, QStringLiteral("5"));
    EXPECT_EQ(Text(*page, kIdTo), "5");
    Choose(*page, kIdTo, QStringLiteral("3"));
    EXPECT_EQ(m_boxes.Last(), "'To Port' can not be smaller than 'From Port'");
    EXPECT_EQ(Text(*page, kIdTo), "5");

    Choose(*page, kIdFrom, QStringLiteral("1"));
    Choose(*page, kIdTo, QStringLiteral("31"));
    Choose(*page, kIdControl, QStringLiteral("Auto"));
    m_boxes.Clear();
    ResetRequests();
    ASSERT_TRUE(Press(*page, kIdPortApply));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last();
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied to ports 1-31. Loaded ")) << page->OutcomeLine();
    for (int port : {1, 30, 31})
        EXPECT_EQ(Get(Control(port)), "2") << port;
    EXPECT_EQ(Get(Control(32)), "3");
    EXPECT_EQ(list->ItemText(30, 2), "Auto");
    EXPECT_EQ(list->ItemText(31, 2), "ForceAuthorized");
    Shot(*page, QStringLiteral("dot1x-ports"));

    // The last port with access keeps it.
    Choose(*page, kIdFrom, QStringLiteral("32"));
    Choose(*page, kIdTo, QStringLiteral("52"));
    Choose(*page, kIdControl, QStringLiteral("ForceUnauthorized"));
    ResetRequests();
    Click(*page, kIdPortApply);
    EXPECT_EQ(m_boxes.Last(),
              "Could not set all ports to AUTO or Force Unauthorized to the port access control.");
    EXPECT_EQ(Requests(), 0);
}

TEST_F(Dot1xPage, AggregatedPortsAreRefusedAndAFailedBatchDoesNotStopTheRest) {
    StartSwitch(QStringLiteral("NSW-4410-52 B1"));
    Aggregate(1, QStringLiteral("0000000000C00000")); // ports 41 and 42
    auto page = OpenPortPage();
    Choose(*page, kIdFrom, QStringLiteral("40"));
    Choose(*page, kIdTo, QStringLiteral("41"));
    Choose(*page, kIdControl, QStringLiteral("Auto"));
    ResetRequests();
    Click(*page, kIdPortApply);
    EXPECT_EQ(m_boxes.Last(), "Cannot add an aggregated link to the 802.1X-enabled port");
    EXPECT_EQ(Requests(), 0);

    // Ports 5 and 6 join a link after the page loaded: the switch refuses
    // the first batch, the second still goes.
    Aggregate(2, QStringLiteral("0C00000000000000"));
    Choose(*page, kIdFrom, QStringLiteral("1"));
    Choose(*page, kIdTo, QStringLiteral("40"));
    m_boxes.Clear();
    ASSERT_TRUE(Press(*page, kIdPortApply));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last();
    EXPECT_EQ(Get(Control(1)), "3");
    EXPECT_EQ(Get(Control(31)), "2");
    EXPECT_EQ(Get(Control(40)), "2");
    const QString line = page->OutcomeLine();
    EXPECT_TRUE(line.startsWith("Not applied to ports 1-30 (applied to ports 31-40)")) << line;
    EXPECT_TRUE(line.contains("inconsistentValue")) << line;
    Shot(*page, QStringLiteral("dot1x-ports-refused"));

    // A refused last batch is named too.
    Aggregate(3, QStringLiteral("0000000000006000")); // ports 50 and 51
    Choose(*page, kIdFrom, QStringLiteral("43"));
    Choose(*page, kIdTo, QStringLiteral("51"));
    ASSERT_TRUE(Press(*page, kIdPortApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith(
        "Not applied to ports 43-51. Ports 43-51: Refused by the switch: inconsistentValue at "
        "802.1X port control.50 (1.3.6.1.4.1.32473.10.75.7.11.2.9.1.2.50)"))
        << page->OutcomeLine();
    EXPECT_EQ(Get(Control(43)), "3");

    // A reload sees the new link and the page refuses it itself.
    ASSERT_TRUE(Press(*page, kIdPortRefresh));
    ResetRequests();
    Click(*page, kIdPortApply);
    EXPECT_EQ(m_boxes.Last(), "Cannot add an aggregated link to the 802.1X-enabled port");
    EXPECT_EQ(Requests(), 0);
}

} // namespace
