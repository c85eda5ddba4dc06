// The port mirroring page against nsw-sim, and what the link-aggregation
// page then makes of the mirrored ports.
#include "PageTestKit.h"
#include "pages/switching/Trunk.h"

#include <QCheckBox>

namespace {

constexpr int kMirrorCommand = 32857;
constexpr int kIdEnable = 7001, kIdTarget = 7002, kIdApply = 7003;
constexpr int kIdIngress = 7101, kIdEgress = 7201; // + port - 1
const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.1.0");
const QString kTarget = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.2.0");
const QString kIngress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.3.0");
const QString kEgress = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.18.4.0");
const QString kMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.");
const QString kModel = QStringLiteral("NSW-4410-28P B1");

class MirrorPage : public CPageTestKit {
protected:
    // The trunk member window's verdict on a member set; empty when it took it.
    QString TrunkVerdict(std::initializer_list<int> ports) {
        CTrunkMemberDlg window(2, QStringLiteral("LACP"), QString());
        window.show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.IsLoadDone(); }, 20000));
        for (int port : ports)
            window.Control<QCheckBox>(2000 + port)->setChecked(true);
        const int before = static_cast<int>(m_boxes.Texts().size());
        const bool taken = window.Submit();
        const QStringList texts = m_boxes.Texts();
        return taken ? QString() : texts.size() > before ? texts.back() : QStringLiteral("?");
    }
};

} // namespace

TEST_F(MirrorPage, MirrorsPortsAndTheTrunkPageRefusesThem) {
    StartSwitch(kModel);
    auto page = OpenPage(kMirrorCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "PortMirroringConfiguration");
    EXPECT_TRUE(page->OutcomeLine().startsWith("Loaded ")) << page->OutcomeLine();
    EXPECT_FALSE(IsChecked(*page, kIdEnable));
    EXPECT_EQ(Text(*page, kIdTarget), "28");

    Check(*page, kIdEnable, true);
    Choose(*page, kIdTarget, QStringLiteral("10"));
    Check(*page, kIdIngress + 4, true); // port 5 received
    Check(*page, kIdEgress + 5, true);  // port 6 sent
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last().toStdString();
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded ")) << page->OutcomeLine();
    EXPECT_EQ(Get(kState), "1");
    EXPECT_EQ(Get(kTarget), "10");
    EXPECT_EQ(GetHex(kIngress), "08000000");
    EXPECT_EQ(GetHex(kEgress), "04000000");
    Shot(*page, QStringLiteral("traffic-mirroring"));

    // The link-aggregation rules see the mirrored ports.
    EXPECT_EQ(TrunkVerdict({5, 6}),
              "Cannot add ports of Port Mirror enable ports to an aggregated link.");
    EXPECT_EQ(TrunkVerdict({10, 11}), "Cannot add a mirror port to an aggregated link.");
    EXPECT_EQ(TrunkVerdict({12, 13}), "");
    EXPECT_EQ(GetHex(kMembers + "2"), "00180000");

    // Reopened, the page shows what the switch holds.
    auto again = OpenPage(kMirrorCommand);
    ASSERT_TRUE(again);
    EXPECT_TRUE(IsChecked(*again, kIdEnable));
    EXPECT_EQ(Text(*again, kIdTarget), "10");
    EXPECT_TRUE(IsChecked(*again, kIdIngress + 4));
    EXPECT_FALSE(IsChecked(*again, kIdEgress + 4));
    EXPECT_TRUE(IsChecked(*again, kIdEgress + 5));

    // Sources that take one port of a link are refused before anything is sent.
    Check(*again, kIdIngress + 11, true); // port 12 of the new link, without 13
    ResetRequests();
    Click(*again, kIdApply);
    EXPECT_EQ(m_boxes.Last(),
              "The source ports must take all or none of the ports of aggregated link 2.");
    EXPECT_EQ(Requests(), 0);
}

TEST_F(MirrorPage, ChecksAndTheSwitchsRefusal) {
    StartSwitch(kModel);
    auto page = OpenPage(kMirrorCommand);
    ASSERT_TRUE(page);
    Check(*page, kIdEnable, true);
    Choose(*page, kIdTarget, QStringLiteral("3"));
    Check(*page, kIdIngress + 2, true);
    ResetRequests();
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Last(), "The target port cannot be a source port.");
    EXPECT_EQ(Requests(), 0);

    // Port 9 joins a link after the page loaded: the switch refuses it as target.
    Check(*page, kIdIngress + 2, false);
    Check(*page, kIdIngress, true);
    Choose(*page, kIdTarget, QStringLiteral("9"));
    ASSERT_TRUE(Set(kMembers + "1", "x", "00C00000")); // ports 9 and 10
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Refused by the switch: inconsistentValue"))
        << page->OutcomeLine();
    EXPECT_EQ(Get(kState), "2");
    EXPECT_FALSE(IsChecked(*page, kIdEnable)); // reloaded from the switch
    Shot(*page, QStringLiteral("traffic-mirroring-refused"));

    // Now the page knows the link.
    Check(*page, kIdEnable, true);
    Check(*page, kIdIngress, true);
    Choose(*page, kIdTarget, QStringLiteral("9"));
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Last(), "A member of an aggregated link cannot be the target port.");
}

TEST_F(MirrorPage, ModelsWithoutMirroringGetADisabledPage) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    auto page = OpenPage(kMirrorCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->OutcomeLine(), "Port mirroring is not offered on the NSW-4410-28P.");
    EXPECT_FALSE(IsEnabled(*page, kIdEnable));
    EXPECT_FALSE(IsEnabled(*page, kIdApply));
}
