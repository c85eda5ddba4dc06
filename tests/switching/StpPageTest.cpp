// The spanning-tree windows against nsw-sim: what they show, what they
// write, and the switch read back after every write.
#include "PageTestKit.h"
#include "pages/switching/Stp.h"
#include "platform/ListControl.h"

#include <QTimer>

#include <cstdio>

namespace {

const QString kBridge = QStringLiteral("1.3.6.1.2.1.17.2.");
const QString kPort = QStringLiteral("1.3.6.1.2.1.17.2.15.1.");
const QString kRstpState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.1.1.0");
const QString kVersion = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.1.2.0");
const QString kRstpPort = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.6.2.1.");
const QString kLoopback = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.17.5.1.2.");
const QString kMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.");

// Control ids of the three windows.
enum {
    kPriority = 1401,
    kAge = 1402,
    kHello = 1403,
    kDelay = 1404,
    kRstp = 1405,
    kVersionBox = 1406,
    kApply = 1407,
    kPortSetting = 1408,
    kDesignatedRoot = 1413,
    kTable = 1430,
    kEntries = 1431,
    kPortConfig = 1432,
    kPortNumber = 1450,
    kNext = 1452,
    kPortPriority = 1453,
    kCost = 1454,
    kEnable = 1455,
    kStatus = 1456,
    kDesigRoot = 1457,
    kDesigPort = 1460,
    kPortApply = 1462,
    kPortRefresh = 1463,
};

class StpPage : public CPageTestKit {
protected:
    // Runs the click, which opens a modal window of type T; drive gets the
    // window once it has loaded and must close it. False when none came.
    template <class T>
    bool WithModal(CPageBase& page, int buttonId, const std::function<void(T&)>& drive) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 10000) {
                if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
                    seen = true;
                    EXPECT_TRUE(WaitSettled(*window, 0));
                    drive(*window);
                    if (window->isVisible())
                        window->reject();
                    return;
                }
                QTest::qWait(10);
            }
        });
        Click(page, buttonId);
        return seen;
    }
    static void Report(const char* window, CPageBase& page) {
        std::printf("[ outcome  ] %s: %s\n", window, qUtf8Printable(page.OutcomeLine()));
    }
};

} // namespace

TEST_F(StpPage, BridgeConfigShowsAndWritesTheBridge) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto page = OpenPage(32813);
    ASSERT_TRUE(page);
    Report("Bridge Config", *page);
    EXPECT_EQ(page->windowTitle(), "Bridge Config");
    EXPECT_EQ(Text(*page, kPriority), "32768");
    EXPECT_EQ(Text(*page, kAge), "2000");
    EXPECT_EQ(Text(*page, kHello), "200");
    EXPECT_EQ(Text(*page, kDelay), "1500");
    EXPECT_EQ(Text(*page, kDesignatedRoot).count(u':'), 7);
    EXPECT_FALSE(IsChecked(*page, kRstp)); // the switch runs without RSTP
    EXPECT_EQ(As<CStpBridgePage>(*page).RstpEnable(), 0);
    EXPECT_EQ(Text(*page, kVersionBox), "RSTP");
    Shot(*page, "stp-bridge-config");

    // The relations are checked before anything is sent.
    ResetRequests();
    SetText(*page, kAge, "600");
    SetText(*page, kHello, "201");
    SetText(*page, kDelay, "400");
    Check(*page, kRstp, true);
    Click(*page, kApply);
    EXPECT_EQ(m_boxes.Last(), "To set the parameters Hello Time and Max Age the following relation "
                              "is to be satisfied: \nMax Age >= (2*(Hello Time + 1.0))");
    EXPECT_EQ(Requests(), 0);

    // Edge values that hold: RSTP is switched on first, then the timers.
    SetText(*page, kHello, "200");
    Choose(*page, kPriority, "4096");
    Choose(*page, kVersionBox, "STP Compatible");
    ASSERT_TRUE(Press(*page, kApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();
    EXPECT_EQ(Get(kRstpState), "1");
    EXPECT_EQ(Get(kBridge + "12.0"), "600");
    EXPECT_EQ(Get(kBridge + "13.0"), "200");
    EXPECT_EQ(Get(kBridge + "14.0"), "400");
    EXPECT_EQ(Get(kBridge + "2.0"), "4096");
    EXPECT_EQ(Get(kVersion), "0");
    // ... and shown as read back.
    EXPECT_TRUE(IsChecked(*page, kRstp));
    EXPECT_EQ(As<CStpBridgePage>(*page).RstpEnable(), 1);
    EXPECT_EQ(Text(*page, kPriority), "4096");
    EXPECT_EQ(Text(*page, kVersionBox), "STP Compatible");
    EXPECT_TRUE(Text(*page, kDesignatedRoot).startsWith("10:00:"));

    // Switching off writes the state alone, whatever the timer fields hold.
    SetText(*page, kAge, "9");
    SetText(*page, kHello, "x");
    Check(*page, kRstp, false);
    ResetRequests();
    ASSERT_TRUE(Press(*page, kApply));
    EXPECT_EQ(Get(kRstpState), "2");
    EXPECT_EQ(Get(kBridge + "12.0"), "600");
    EXPECT_EQ(Text(*page, kAge), "600"); // reloaded
    EXPECT_FALSE(IsChecked(*page, kRstp));
}

TEST_F(StpPage, RstpHeldOnIsNotSwitchedOnAgain) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(Set(kRstpState, "i", "1"));
    auto page = OpenPage(32813);
    ASSERT_TRUE(page);
    EXPECT_TRUE(IsChecked(*page, kRstp));
    EXPECT_EQ(As<CStpBridgePage>(*page).RstpEnable(), 1);
    Choose(*page, kPriority, "61440");
    ResetRequests();
    ASSERT_TRUE(Press(*page, kApply));
    // Six SETs (no RSTP state) and the reload's one GET.
    EXPECT_EQ(Requests(), 7);
    EXPECT_EQ(Get(kBridge + "2.0"), "61440");
    EXPECT_EQ(Get(kBridge + "13.0"), "200"); // the timers as they were, after the widening
    EXPECT_EQ(Get(kBridge + "14.0"), "1500");
}

TEST_F(StpPage, TheThreeWindowsOpenFromOneAnother) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    auto bridge = OpenPage(32813);
    ASSERT_TRUE(bridge);
    bool portSeen = false;
    EXPECT_TRUE(WithModal<CStpTablePage>(*bridge, kPortSetting, [&](CStpTablePage& table) {
        Report("Spanning Tree Table", table);
        EXPECT_EQ(table.windowTitle(), "Spanning Tree Table");
        CListControl* list = table.List();
        ASSERT_EQ(list->ItemCount(), 10);
        EXPECT_EQ(Text(table, kEntries), "10");
        const QStringList headers = list->Model()->Headers();
        EXPECT_EQ(headers,
                  QStringList({"Port", "Priority", "Cost", "Enable", "Status",
                               " ==Designated Root==", "Designated Cost",
                               " ==Designated Bridge==", "Designated Port", "Forwardings"}));
        EXPECT_EQ(list->ItemText(2, 0), "3");
        EXPECT_EQ(list->ItemText(2, 1), "128");
        EXPECT_EQ(list->ItemText(2, 3), "Y");
        EXPECT_TRUE(list->ItemText(2, 4) == u"Forward" || list->ItemText(2, 4) == u"Disabled");
        EXPECT_EQ(list->ItemText(2, 5).size(), 23); // 8 octets "XX:...:XX"
        EXPECT_EQ(list->ItemText(2, 7), list->ItemText(2, 5));
        EXPECT_EQ(list->ItemText(2, 8), "80 03");
        Shot(table, "stp-table");
        // "&Port Config" opens the selected port.
        list->SelectRow(2);
        portSeen = WithModal<CStpPortPage>(table, kPortConfig, [&](CStpPortPage& port) {
            Report("Port Config", port);
            EXPECT_EQ(port.windowTitle(), "Port Config");
            EXPECT_EQ(Text(port, kPortNumber), "3");
            Choose(port, kPortPriority, "16");
            Click(port, 1); // OK: applies and closes
            EXPECT_FALSE(port.isVisible());
        });
        // The table shows the write once the port window has closed.
        EXPECT_TRUE(WaitSettled(table, 0));
        EXPECT_EQ(list->ItemText(2, 1), "16");
        EXPECT_EQ(list->ItemText(2, 8), "10 03");
    }));
    EXPECT_TRUE(portSeen);
    EXPECT_EQ(Get(kPort + "2.3"), "16");
}

TEST_F(StpPage, PortConfigWritesAndKeepsTheSwitchRules) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(Set(kMembers + "1", "x", "0C000000")); // ports 5 and 6
    CStpPortPage page(4);
    page.show();
    ASSERT_TRUE(WaitSettled(page, 0));
    EXPECT_EQ(Text(page, kPortNumber), "4");
    EXPECT_EQ(Text(page, kPortPriority), "128");
    EXPECT_EQ(Text(page, kCost), "0"); // automatic, not the cost in use
    EXPECT_EQ(Text(page, kEnable), "Enabled");
    EXPECT_FALSE(Text(page, kStatus).isEmpty());
    EXPECT_EQ(Text(page, kDesigRoot).size(), 23);
    EXPECT_EQ(Text(page, kDesigPort), "80 04");
    Shot(page, "stp-port-config");

    // An automatic cost stays automatic through two applies.
    Choose(page, kPortPriority, "64");
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Press(page, kPortApply));
        EXPECT_TRUE(page.OutcomeLine().startsWith("Applied")) << page.OutcomeLine().toStdString();
        EXPECT_EQ(Get(kRstpPort + "2.4"), "64");
        EXPECT_EQ(Get(kRstpPort + "5.4"), "0");
        EXPECT_EQ(Get(kPort + "5.4"), "20000");
        EXPECT_EQ(Text(page, kCost), "0");
    }
    SetText(page, kCost, "500");
    Choose(page, kEnable, "Disabled");
    ASSERT_TRUE(Press(page, kPortApply));
    EXPECT_EQ(Get(kRstpPort + "5.4"), "500");
    EXPECT_EQ(Get(kPort + "5.4"), "500");
    EXPECT_EQ(Get(kPort + "4.4"), "2");
    EXPECT_EQ(Text(page, kEnable), "Disabled");
    EXPECT_EQ(Text(page, kStatus), "Disabled");

    // Refusals, each before anything is sent.
    SetText(page, kCost, "200000001");
    ResetRequests();
    Click(page, kPortApply);
    EXPECT_EQ(m_boxes.Last(), "Invalid Path Cost(1-200000000)");
    EXPECT_EQ(Requests(), 0);
    // Loopback detection on port 4 (its spanning tree is off now).
    ASSERT_TRUE(Set(kLoopback + "4", "i", "1"));
    ASSERT_TRUE(Press(page, kPortRefresh));
    Choose(page, kEnable, "Enabled");
    ResetRequests();
    Click(page, kPortApply);
    EXPECT_EQ(m_boxes.Last(), "STP port 4 can not both support Spanning Tree and LBD-enabled mode");
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(Get(kPort + "4.4"), "2");

    // Next: port 5, a member of link 1 with port 6.
    Click(page, kNext);
    ASSERT_TRUE(WaitSettled(page, 0));
    EXPECT_EQ(Text(page, kPortNumber), "5");
    Choose(page, kPortPriority, "32");
    ResetRequests();
    Click(page, kPortApply);
    EXPECT_EQ(m_boxes.Last(),
              "Cannot add ports with different STP configurations to an aggregated link.");
    EXPECT_EQ(Requests(), 0);
    // The switch keeps the same rule when asked directly.
    EXPECT_FALSE(Set(kPort + "2.5", "i", "32"));
    // Both members in one request pass; the page then writes port 5 unchanged.
    ASSERT_TRUE(
        m_sim.Tool(QStringLiteral("snmpset"),
                   {QStringLiteral("-v2c"), QStringLiteral("-c"), CSimProcess::kWriteCommunity},
                   {kPort + "2.6", QStringLiteral("i"), QStringLiteral("32"), kPort + "2.5",
                    QStringLiteral("i"), QStringLiteral("32")}) == 0);
    ASSERT_TRUE(Press(page, kPortRefresh));
    EXPECT_EQ(Text(page, kPortPriority), "32");
    Choose(page, kEnable, "Disabled");
    ASSERT_TRUE(Press(page, kPortApply));
    EXPECT_EQ(Get(kPort + "4.5"), "2");
}
