#include "SimPage.h"
#include "pages/Pages.h"
#include "pages/switching/PortConfig.h"
#include "panel/PageRegistry.h"
#include "platform/ListControl.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

const QString kSpeed = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.13.1.2.");
const QString kFlow = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.13.1.5.");
const QString kMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.");
const QString kMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3.");
const QString kCtlPort = QStringLiteral("1.1.1."); // control subtree: column.port
const QString kForce = QStringLiteral(
    "The speed is set to force mode. \n* The speed mode must be the same as the counterpart. ");
const QString kQos = QStringLiteral(
    "QoS works best when Flow Control is disabled. \n* When Flow Control is enabled.QoS may not "
    "perform accurate bandwidth allocation. \n* Do you still want to enable Flow Control?. ");

class PortPage : public CSimPageTest {
protected:
    // Opens the page (for a port of the panel, or 0) and waits for its load.
    std::unique_ptr<CPortSetInfo> Open(int port = 0) {
        auto page = std::make_unique<CPortSetInfo>(nullptr, port);
        QSignalSpy loaded(page.get(), &CPortSetInfo::Loaded);
        page->show();
        EXPECT_TRUE(WaitFor(loaded));
        return page;
    }
    static bool Reloaded(CPortSetInfo& page) {
        QSignalSpy loaded(&page, &CPortSetInfo::Loaded);
        return !page.IsLoading() || WaitFor(loaded);
    }
    static void Choose(CPortSetInfo& page, int row, int speed, int flow) {
        page.OnRowSelected(row);
        page.Control<QComboBox>(209)->setCurrentIndex(speed);
        page.Control<QComboBox>(210)->setCurrentIndex(flow);
    }
};

} // namespace

TEST_F(PortPage, OpensOnThePanelsPortAndSetsSpeedAndFlowControl) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    auto page = Open(5);
    CListControl* list = page->List();
    ASSERT_EQ(list->ItemCount(), 28);
    EXPECT_EQ(list->ItemText(27, 0), "28");
    EXPECT_EQ(page->Control<QLineEdit>(216)->text(), "5");
    EXPECT_EQ(list->SelectedRow(), 4);
    EXPECT_EQ(list->ItemText(4, 1), "Auto");
    EXPECT_EQ(page->Control<QComboBox>(209)->currentText(), "Auto");
    EXPECT_EQ(page->Control<QComboBox>(210)->currentText(), "Disable");

    Choose(*page, 4, kSpeed100Full, 0);
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(m_boxes.Texts(), QStringList({kForce, kQos}));
    EXPECT_EQ(Get(kSpeed + "5"), "2");
    EXPECT_EQ(Get(kFlow + "5"), "1");
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_EQ(list->ItemText(4, 1), "100MFull");
    EXPECT_EQ(list->ItemText(4, 3), "Enable");
    // the port is linked (two of three copper ports are): it runs at 100M now
    EXPECT_EQ(list->ItemText(4, 2), "100MFull");
    EXPECT_EQ(list->ItemText(4, 5), "Enabled");

    // Auto and flow control off ask nothing and write both.
    m_boxes.Clear();
    Choose(*page, 4, kSpeedAuto, 1);
    EXPECT_TRUE(page->Apply());
    EXPECT_TRUE(m_boxes.Texts().isEmpty());
    EXPECT_EQ(Get(kSpeed + "5"), "6");
    EXPECT_EQ(Get(kFlow + "5"), "2");
}

TEST_F(PortPage, TheMainWindowOpensItForTheClickedPort) {
    StartSwitch(QStringLiteral("NSW-4410-52 B1"));
    RegisterAllPages();
    for (int command : {32774, 32834, 32818})
        EXPECT_TRUE(IsPageRegistered(command)) << command;
    SetPageSelectedPort(50);
    std::unique_ptr<QDialog> dialog = CreatePage(32774, nullptr);
    SetPageSelectedPort(0);
    auto* page = qobject_cast<CPortSetInfo*>(dialog.get());
    ASSERT_NE(page, nullptr);
    QSignalSpy loaded(page, &CPortSetInfo::Loaded);
    page->show();
    ASSERT_TRUE(WaitFor(loaded));
    EXPECT_EQ(page->windowTitle(), "Port Configuration");
    EXPECT_EQ(page->List()->ItemCount(), 52);
    EXPECT_EQ(page->List()->SelectedRow(), 49);
    EXPECT_EQ(page->Control<QLineEdit>(216)->text(), "50");
    // a combo port on its copper side
    EXPECT_EQ(page->MediaOfPort()[49], 2);
}

TEST_F(PortPage, CancelAndRefusalsSendNothing) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    auto page = Open();
    EXPECT_TRUE(page->Control<QLineEdit>(216)->text().isEmpty());
    const int sets = SetRequests();

    EXPECT_FALSE(page->Apply());
    EXPECT_EQ(m_boxes.Last(), "Please Select one port !");

    m_boxes.SetAnswer(QMessageBox::Cancel);
    Choose(*page, 6, kSpeed10Full, 1);
    EXPECT_FALSE(page->Apply());
    EXPECT_EQ(m_boxes.Last(), kForce);
    Choose(*page, 6, kSpeedAuto, 0);
    EXPECT_FALSE(page->Apply());
    EXPECT_EQ(m_boxes.Last(), kQos);

    EXPECT_EQ(SetRequests(), sets);
    EXPECT_EQ(Get(kSpeed + "7"), "6");
    EXPECT_EQ(Get(kFlow + "7"), "2");
}

TEST_F(PortPage, AggregatedPortKeepsTheLinksSpeed) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    // ports 3 and 4 at 100M full duplex, aggregated as group 2
    ASSERT_TRUE(Set(kSpeed + "3", "i", "2"));
    ASSERT_TRUE(Set(kSpeed + "4", "i", "2"));
    ASSERT_TRUE(Set(kMembers + "2", "x", "30000000"));
    ASSERT_TRUE(Set(kMode + "2", "i", "2"));
    auto page = Open();
    EXPECT_EQ(page->LagOfPort()[2], 2);
    EXPECT_EQ(page->LagOfPort()[3], 2);
    EXPECT_EQ(page->LagOfPort()[4], 0);

    const int sets = SetRequests();
    Choose(*page, 2, kSpeedAuto, 1);
    EXPECT_FALSE(page->Apply());
    EXPECT_EQ(m_boxes.Last(), "LA port can not support in different speed.");
    EXPECT_EQ(SetRequests(), sets);

    Choose(*page, 2, kSpeed100Full, 0);
    EXPECT_TRUE(page->Apply());
    EXPECT_EQ(Get(kFlow + "3"), "1");
    EXPECT_EQ(Get(kSpeed + "3"), "2");
    EXPECT_EQ(Get(kFlow + "4"), "2");
}

TEST_F(PortPage, ComboPortsShowTheirMedium) {
    StartSwitch(QStringLiteral("NGX-4410-10P"));
    // port 9: 100Base-x module, linked at 100M; port 10: copper, linked at 100M
    ASSERT_TRUE(m_sim.SetControl(kCtlPort + "4.9", "i", "3"));
    ASSERT_TRUE(Set(kSpeed + "9", "i", "2"));
    ASSERT_TRUE(m_sim.SetControl(kCtlPort + "1.9", "i", "1"));
    ASSERT_TRUE(m_sim.SetControl(kCtlPort + "2.10", "i", "100"));
    ASSERT_TRUE(m_sim.SetControl(kCtlPort + "1.10", "i", "1"));
    ASSERT_TRUE(m_sim.SetControl(kCtlPort + "2.2", "i", "100"));
    auto page = Open();
    CListControl* list = page->List();
    ASSERT_EQ(list->ItemCount(), 10);
    EXPECT_EQ(list->ItemText(8, 2), "100M F Full");
    EXPECT_EQ(list->ItemText(9, 2), "100M C Full");
    EXPECT_EQ(list->ItemText(1, 2), "100MFull");
    EXPECT_EQ(page->MediaOfPort()[8], 3);
    EXPECT_EQ(page->MediaOfPort()[9], 2);

    const int sets = SetRequests();
    Choose(*page, 8, kSpeedAuto, 1);
    EXPECT_FALSE(page->Apply());
    EXPECT_EQ(m_boxes.Last(),
              "Fiber Port 9 with 100Base-x SFP Module can not support in Auto mode.");
    EXPECT_EQ(SetRequests(), sets);
}
