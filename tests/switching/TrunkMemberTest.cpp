#include "SimPage.h"
#include "pages/switching/Trunk.h"
#include "platform/ListControl.h"
#include "platform/Trace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.2.0");
const QString kMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.");
const QString kMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3.");
const QString kVlan = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.");
const QString kPriority = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.12.3.1.1.2.");
const QString kRstpState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.1.1.0");
const QString kRstpEdge = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.2.1.14.");

class TrunkMember : public CSimPageTest {
protected:
    // Opens the window for a group and waits for the validator's load.
    std::unique_ptr<CTrunkMemberDlg> Open(int group, const QString& mode, const QString& members,
                                          bool expectLoaded = true) {
        auto window = std::make_unique<CTrunkMemberDlg>(group, mode, members);
        QSignalSpy loaded(window.get(), &CTrunkMemberDlg::Loaded);
        window->show();
        EXPECT_TRUE(WaitFor(loaded));
        EXPECT_EQ(!loaded.isEmpty() && loaded.front().front().toBool(), expectLoaded);
        return window;
    }
    static void Tick(CTrunkMemberDlg& window, std::initializer_list<int> ports, bool on = true) {
        for (int port : ports)
            window.Control<QCheckBox>(2000 + port)->setChecked(on);
    }
};

} // namespace

TEST_F(TrunkMember, CreateAndChangeAGroupThroughThePage) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    ASSERT_TRUE(Set(kState, "i", "1"));
    CTrunkPage page;
    QSignalSpy loaded(&page, &CTrunkPage::Loaded);
    page.show();
    ASSERT_TRUE(WaitFor(loaded));
    page.SelectRow(0);
    page.Control<QComboBox>(1018)->setCurrentText("Static");

    loaded.clear();
    const bool opened =
        WithModal<CTrunkMemberDlg>([&] { page.OnPortMember(); },
                                   [&](CTrunkMemberDlg& window) {
                                       QSignalSpy ready(&window, &CTrunkMemberDlg::Loaded);
                                       ASSERT_TRUE(window.IsLoadDone() || WaitFor(ready));
                                       EXPECT_EQ(window.Control<QLineEdit>(1003)->text(), "1");
                                       EXPECT_EQ(window.Control<QLineEdit>(1004)->text(), "Static");
                                       Tick(window, {5, 6});
                                       EXPECT_TRUE(window.Submit());
                                   });
    ASSERT_TRUE(opened);
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last().toStdString();
    EXPECT_EQ(GetHex(kMembers + "1"), "0c000000");
    EXPECT_EQ(Get(kMode + "1"), "2");
    ASSERT_TRUE(WaitFor(loaded));
    EXPECT_EQ(page.List()->ItemText(0, 1), "Static");
    EXPECT_EQ(page.List()->ItemText(0, 2), "5,6");

    // The window shows the current members; adding a third port rewrites the list.
    auto window = Open(1, "LACP", "5,6");
    EXPECT_TRUE(window->Control<QCheckBox>(2005)->isChecked());
    EXPECT_TRUE(window->Control<QCheckBox>(2006)->isChecked());
    EXPECT_FALSE(window->Control<QCheckBox>(2007)->isChecked());
    Tick(*window, {8});
    EXPECT_TRUE(window->Submit());
    EXPECT_EQ(GetHex(kMembers + "1"), "0d000000");
    EXPECT_EQ(Get(kMode + "1"), "1");
}

TEST_F(TrunkMember, RefusedSelectionsLeaveTheSwitchAlone) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    ASSERT_TRUE(Set(kMembers + "2", "x", "30000000")); // group 2: ports 3 and 4
    ASSERT_TRUE(Set(kMode + "2", "i", "2"));
    // VLAN 20 holds port 10 tagged; port 12 has another priority
    ASSERT_TRUE(Set(kVlan + "1.20", "s", "voice"));
    ASSERT_TRUE(Set(kVlan + "2.20", "x", "00400000"));
    ASSERT_TRUE(Set(kVlan + "5.20", "i", "1"));
    ASSERT_TRUE(Set(kPriority + "12", "i", "3"));
    ASSERT_TRUE(Set(kRstpEdge + "15", "i", "1")); // counts only while RSTP runs
    const int sets = SetRequests();

    auto window = Open(1, "LACP", "");
    struct Case {
        std::initializer_list<int> ports;
        const char* message;
    } cases[] = {
        {{9}, "The mininum port members for an aggregated link is 2 !"},
        {{13, 14, 15, 16, 17, 18, 19, 20, 21},
         "The maxinum port member for an aggregated link is exceeded !"},
        {{3, 9}, "Cannot add the port as it is a member of another aggregated link !"},
        {{9, 10}, "Cannot add ports with different VLAN configurations to an aggregated link !"},
        {{11, 12},
         "Cannot add ports with different 802.1p default priorities to an aggregated link."},
        {{24, 25}, "Cannot add ports of different types to an aggregated link !"},
    };
    for (const Case& c : cases) {
        Tick(*window, c.ports);
        EXPECT_FALSE(window->Submit());
        EXPECT_EQ(m_boxes.Last(), c.message);
        EXPECT_TRUE(window->isVisible());
        Tick(*window, c.ports, false);
    }
    EXPECT_EQ(SetRequests(), sets);
    EXPECT_EQ(GetHex(kMembers + "1"), "00000000");

    // The RSTP state is read again when OK is pressed.
    ASSERT_TRUE(Set(kRstpState, "i", "1"));
    Tick(*window, {15, 16});
    EXPECT_FALSE(window->Submit());
    EXPECT_EQ(m_boxes.Last(),
              "Cannot add a port with different RSTP port setting to an aggregated link. ");
}

TEST_F(TrunkMember, FiftyTwoPortsWriteEightOctets) {
    StartSwitch(QStringLiteral("NSW-4410-52 B1"));
    auto window = Open(8, "Static", "");
    EXPECT_EQ(window->size(), QSize(560, 330));
    // the second row starts again at the left with port 27
    EXPECT_EQ(window->Control<QCheckBox>(2027)->x(), window->Control<QCheckBox>(2001)->x());
    EXPECT_EQ(window->Control<QCheckBox>(2027)->y(), window->Control<QCheckBox>(2001)->y() + 45);
    EXPECT_EQ(window->Control(2552)->property("text").toString(), "52");
    Tick(*window, {51, 52});
    EXPECT_TRUE(window->Submit());
    EXPECT_EQ(GetHex(kMembers + "8"), "0000000000003000");
    EXPECT_EQ(Get(kMode + "8"), "2");
}

TEST_F(TrunkMember, LoadFailureIsShownAndNothingIsWritten) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    CTraceRecorder traces;
    {
        ASSERT_TRUE(m_sim.SetControl("4.3.0", "i", "60000")); // silent for a minute
        auto window = Open(1, "LACP", "", false);
        EXPECT_EQ(m_boxes.Last(), "TrunkValid Init Error !");
        ASSERT_TRUE(m_sim.SetControl("4.3.0", "i", "0"));
        const int sets = SetRequests();
        Tick(*window, {1, 2});
        EXPECT_FALSE(window->Submit());
        EXPECT_EQ(m_boxes.Last(), "TrunkValid Init Error !");
        EXPECT_EQ(SetRequests(), sets);
        window->reject();
    }
    QStringList closes;
    for (const QString& line : traces.Lines())
        if (line.endsWith(".Close==============="))
            closes.append(line.mid(18).chopped(21));
    EXPECT_EQ(closes,
              QStringList({"m_cCommonSNMP", "m_cCommonSNMPSet", "m_cCommonSNMPMirror",
                           "m_cCommonSNMPTableACL", "m_cCommonSNMPPoint", "m_cCommonSNMPTableVlan",
                           "m_cCommonSNMPTableTrunk", "m_cCommonSNMPTableStaticPor",
                           "m_cCommonSNMPTableGetVlanTrunk"}));
}
