// The smart binding pages against nsw-sim: written, read back from the
// switch, and the refusals of the page and of the switch.
#include "PageTestKit.h"
#include "pages/security/BindingCommon.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"

namespace {

const QString kModel = QStringLiteral("NGX-4410-10P B1");
constexpr int kPorts = 10;
constexpr int kSettings = 32837, kBinding = 32866, kWhiteList = 32867, kBlackList = 32868;
// Settings page.
constexpr int kIdFrom = 1166, kIdTo = 1165, kIdAdmin = 1164, kIdInspection = 1054,
              kIdSnooping = 1055, kIdApply = 1051;
// Binding page.
constexpr int kIdIp = 1175, kIdMac = 1001, kIdPorts = 1002, kIdAdd = 1149, kIdScanFrom = 1012,
              kIdScanTo = 1168, kIdScan = 1060, kIdBind = 1169;
constexpr int kIdList = 1010;

class BindingPages : public CPageTestKit {
protected:
    CListControl& List(CPageBase& page) {
        auto* list = page.Control<CListControl>(kIdList);
        EXPECT_NE(list, nullptr);
        return *list;
    }
    static void SetIp(CPageBase& page, int id, const QString& address) {
        auto* edit = page.Control<CIpAddressEdit>(id);
        ASSERT_NE(edit, nullptr);
        if (address.isEmpty())
            edit->ClearAddress();
        else
            edit->SetAddress(address);
    }
    // Several variables in one request (rows with a required column).
    bool SetMany(const QStringList& triples) const {
        return m_sim.Tool(QStringLiteral("snmpset"),
                          {"-v2c", "-c", CSimProcess::kWriteCommunity, "-t", "2", "-r", "1"},
                          triples) == 0;
    }
    QString Cell(const QString& column, int port) const { return Get(CellOid(column, port)); }
};

} // namespace

TEST_F(BindingPages, SettingsWriteTheRangeAndShowWhatTheSwitchHolds) {
    StartSwitch(kModel);
    auto page = OpenPage(kSettings);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Smart Binding Settings");
    CListControl& list = List(*page);
    ASSERT_EQ(list.ItemCount(), kPorts);
    EXPECT_EQ(list.ItemText(0, 0), "1");
    EXPECT_EQ(list.ItemText(0, 1), "Disabled");
    EXPECT_EQ(list.ItemText(0, 2), "Disabled"); // ARP inspection only
    EXPECT_EQ(list.ItemText(0, 3), "Disabled");
    EXPECT_EQ(Text(*page, kIdFrom), "1");
    EXPECT_EQ(Text(*page, kIdTo), "10");

    Choose(*page, kIdFrom, "3");
    Choose(*page, kIdTo, "5");
    Choose(*page, kIdAdmin, "Enabled");
    Choose(*page, kIdInspection, "ARP+IP Inspection");
    Choose(*page, kIdSnooping, "Enabled");
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded 10 rows"))
        << page->OutcomeLine().toStdString();
    for (int port = 1; port <= kPorts; ++port) {
        const bool inRange = port >= 3 && port <= 5;
        EXPECT_EQ(Cell(BindOid::kAdmin, port), inRange ? "1" : "2") << port;
        EXPECT_EQ(Cell(BindOid::kInspection, port), inRange ? "2" : "1") << port;
        EXPECT_EQ(Cell(BindOid::kSnooping, port), inRange ? "1" : "2") << port;
    }
    EXPECT_EQ(list.ItemText(2, 1), "Enabled");
    EXPECT_EQ(list.ItemText(2, 2), "Enabled");
    EXPECT_EQ(list.ItemText(2, 3), "Enabled");
    EXPECT_EQ(list.ItemText(5, 1), "Disabled");
    Shot(*page, QStringLiteral("smart-binding-settings"));

    // "To Port" below "From Port" goes back.
    Choose(*page, kIdFrom, "6");
    Choose(*page, kIdTo, "4");
    EXPECT_EQ(m_boxes.Last(), kToBelowFrom);
    EXPECT_EQ(Text(*page, kIdTo), "10");
}

TEST_F(BindingPages, SettingsRefuseTheWholeSwitchAndASplitLink) {
    StartSwitch(kModel);
    auto page = OpenPage(kSettings);
    ASSERT_TRUE(page);
    Choose(*page, kIdAdmin, "Enabled");
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Last(), kWholeSwitch);
    EXPECT_EQ(Text(*page, kIdAdmin), "Disabled");
    for (int port = 1; port <= kPorts; ++port)
        EXPECT_EQ(Cell(BindOid::kAdmin, port), "2") << port;

    // Ports 3 and 4 aggregated: a range holding one of them is refused.
    ASSERT_TRUE(SetMany({"1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.1", "x", "30000000",
                         "1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3.1", "i", "2"}));
    m_boxes.Clear();
    Choose(*page, kIdFrom, "1");
    Choose(*page, kIdTo, "3");
    Choose(*page, kIdAdmin, "Enabled");
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Texts(),
              QStringList{"Cannot add a port-security enabled port to an aggregated link."});
    EXPECT_EQ(Cell(BindOid::kAdmin, 1), "2");
    Choose(*page, kIdTo, "4");
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_EQ(Cell(BindOid::kAdmin, 4), "1");

    // One range at a time passes the page; the switch refuses the last port.
    Choose(*page, kIdFrom, "5");
    Choose(*page, kIdTo, "9");
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_EQ(Cell(BindOid::kAdmin, 9), "1");
    Choose(*page, kIdFrom, "10");
    Choose(*page, kIdTo, "10");
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_TRUE(page->OutcomeLine().contains("inconsistentValue"))
        << page->OutcomeLine().toStdString();
    EXPECT_TRUE(page->OutcomeLine().contains("smart binding admin state.10"))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Cell(BindOid::kAdmin, 10), "2");
    EXPECT_EQ(List(*page).ItemText(9, 1), "Disabled");
    Shot(*page, QStringLiteral("smart-binding-settings-refused"));
}

TEST_F(BindingPages, BindingScansBindsAndAddsByHand) {
    StartSwitch(kModel);
    auto page = OpenPage(kBinding);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Smart Binding");
    CListControl& list = List(*page);
    EXPECT_EQ(list.ItemCount(), 0);

    // Refusals before anything is sent.
    SetIp(*page, kIdScanTo, "192.168.20.9");
    Click(*page, kIdScan);
    EXPECT_EQ(m_boxes.Last(), "Invalid From IP address !");
    Click(*page, kIdBind);
    EXPECT_EQ(m_boxes.Last(), kSelectToBind);

    SetIp(*page, kIdScanFrom, "192.168.20.1");
    ASSERT_TRUE(Press(*page, kIdScan));
    ASSERT_EQ(list.ItemCount(), 6) << page->OutcomeLine().toStdString();
    for (int line = 0; line < list.ItemCount(); ++line)
        EXPECT_EQ(list.ItemText(line, 3), "Not Bound");
    const QString ip = list.ItemText(0, 0), mac = list.ItemText(0, 1), port = list.ItemText(0, 2);
    EXPECT_TRUE(ip.startsWith("192.168.20."));
    EXPECT_TRUE(mac.startsWith("00-1C-7E-")) << mac.toStdString();

    list.SelectRow(0);
    ASSERT_TRUE(Press(*page, kIdBind));
    EXPECT_EQ(list.ItemText(0, 3), "Bound");
    EXPECT_EQ(Get(BindOid::kWhitePort + u'.' + HostIndex(ip, MacFromText(mac))), port);
    m_boxes.Clear();
    list.SelectRow(0);
    Click(*page, kIdBind);
    EXPECT_EQ(m_boxes.Texts(), QStringList{"The entry is bound."});
    Shot(*page, QStringLiteral("smart-binding"));

    // Manual binding goes onto the white list.
    SetIp(*page, kIdIp, "10.9.8.7");
    SetText(*page, kIdMac, "00-1C-7E-0A-09-08");
    SetText(*page, kIdPorts, "11");
    Click(*page, kIdAdd);
    EXPECT_EQ(m_boxes.Last(), "Invalid port number.");
    SetText(*page, kIdPorts, "4");
    ASSERT_TRUE(Press(*page, kIdAdd));
    EXPECT_EQ(m_boxes.Last(), "Success!");
    const QString host = QStringLiteral("10.9.8.7.0.28.126.10.9.8");
    EXPECT_EQ(Get(BindOid::kWhitePort + u'.' + host), "4");
    EXPECT_EQ(Get(BindOid::kWhiteStatus + u'.' + host), "1");
    // The same host again: the switch refuses, and no success is claimed.
    m_boxes.Clear();
    ASSERT_TRUE(Press(*page, kIdAdd));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last().toStdString();
    EXPECT_TRUE(page->OutcomeLine().contains("inconsistentValue at white list row status"))
        << page->OutcomeLine().toStdString();
}

TEST_F(BindingPages, WhiteListDeletesTheSelectedHost) {
    StartSwitch(kModel);
    const QString first = QStringLiteral("10.0.0.5.0.28.126.0.0.5");
    const QString second = QStringLiteral("10.0.0.6.0.28.126.0.0.6");
    for (const QString& host : {first, second})
        ASSERT_TRUE(SetMany({BindOid::kWhitePort + u'.' + host, "i", "7",
                             BindOid::kWhiteStatus + u'.' + host, "i", "4"}));
    auto page = OpenPage(kWhiteList);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "White List");
    CListControl& list = List(*page);
    ASSERT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(Text(*page, 1170), "Total Entries: 2");
    EXPECT_EQ(list.ItemText(0, 0), "10.0.0.5");
    EXPECT_EQ(list.ItemText(0, 1), "00-1C-7E-00-00-05");
    EXPECT_EQ(list.ItemText(0, 2), "7");
    Shot(*page, QStringLiteral("smart-binding-white-list"));

    Click(*page, 1173);
    EXPECT_EQ(m_boxes.Last(), kSelectToDelete);
    list.SelectRow(1);
    ASSERT_TRUE(Press(*page, 1173));
    EXPECT_EQ(Text(*page, 1170), "Total Entries: 1");
    EXPECT_EQ(list.ItemText(0, 0), "10.0.0.5");
    EXPECT_EQ(Get(BindOid::kWhiteStatus + u'.' + first), "1");
    EXPECT_EQ(Get(BindOid::kWhiteStatus + u'.' + second), "");
}

TEST_F(BindingPages, BlackListFindsAndDeletes) {
    StartSwitch(kModel);
    auto page = OpenPage(kBlackList);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Black List");
    CListControl& list = List(*page);
    ASSERT_EQ(list.ItemCount(), 2);
    EXPECT_EQ(Text(*page, 1171), "Total Entries :2");
    EXPECT_EQ(list.ItemText(0, 0), "1");
    EXPECT_EQ(list.ItemText(0, 1), "192.168.1.21");
    EXPECT_EQ(list.ItemText(0, 2), "00-1C-7E-66-00-15");

    SetText(*page, 1114, "2");
    ASSERT_TRUE(Press(*page, 1005));
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_TRUE(page->OutcomeLine().startsWith("0 entries found"))
        << page->OutcomeLine().toStdString();
    SetText(*page, 1114, "");
    SetIp(*page, 1000, "192.168.1.37");
    ASSERT_TRUE(Press(*page, 1005));
    ASSERT_EQ(list.ItemCount(), 1);
    EXPECT_EQ(Text(*page, 1171), "Total Entries :1");
    Shot(*page, QStringLiteral("smart-binding-black-list"));

    list.SelectRow(0);
    ASSERT_TRUE(Press(*page, 1003));
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(Get(BindOid::kBlackStatus + QStringLiteral(".1.192.168.1.37.0.28.126.102.0.37")), "");
    EXPECT_EQ(Get(BindOid::kBlackStatus + QStringLiteral(".1.192.168.1.21.0.28.126.102.0.21")),
              "1");
    SetIp(*page, 1000, "");
    ASSERT_TRUE(Press(*page, 1005));
    EXPECT_EQ(list.ItemCount(), 1);
    EXPECT_TRUE(page->OutcomeLine().startsWith("All entries shown"))
        << page->OutcomeLine().toStdString();
}
