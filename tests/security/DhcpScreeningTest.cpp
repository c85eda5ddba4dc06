// DHCP server screening: the inverted trusted-port list on every port count,
// the server checks, and the page against the simulator.
#include "pages/security/DhcpScreening.h"
#include "PageTestKit.h"
#include "pages/switching/SwitchCommon.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"
#include "snmp/Encodings.h"

namespace {

constexpr int kDhcpCommand = 32829;
const QString kScreening = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.7.1.0");
const QString kServers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.7.2.1.");

class DhcpPage : public CPageTestKit {
protected:
    void AddServerBySnmp(const QString& ip) {
        QString out, err;
        ASSERT_EQ(m_sim.Tool(QStringLiteral("snmpset"),
                             {"-v2c", "-c", CSimProcess::kWriteCommunity, "-t", "3", "-r", "1"},
                             {kServers + "2." + ip, "a", ip, kServers + "3." + ip, "i", "4"}, &out,
                             &err),
                  0)
            << err.toStdString();
    }
};

} // namespace

TEST(DhcpChecks, AllPortsScreenedShowsNoTrustedPortOnEveryModel) {
    for (int ports : {8, 10, 16, 20, 24, 28, 48, 52}) {
        const int octets = PortListOctetCount(ports);
        EXPECT_EQ(PortRangeText(TrustedPortsOf(QByteArray(octets, '\xff'), ports)), "") << ports;
        EXPECT_EQ(PortRangeText(TrustedPortsOf(QByteArray(octets, '\0'), ports)),
                  QStringLiteral("1-%1").arg(ports))
            << ports;
        // No trusted port: every port screened, and no bit past the last one.
        const QByteArray all = ScreenedBitmapOf(std::vector<int>(ports, 0), ports);
        ASSERT_EQ(all.size(), octets) << ports;
        EXPECT_EQ(PortFlagsOf(all, ports), std::vector<int>(ports, 1)) << ports;
        EXPECT_EQ(PortFlagsOf(all, octets * 8), [&] {
            std::vector<int> v(octets * 8, 0);
            std::fill(v.begin(), v.begin() + ports, 1);
            return v;
        }()) << ports;
    }
    std::vector<int> trusted(10, 0);
    for (int port : {1, 2, 3, 5})
        trusted[port - 1] = 1;
    EXPECT_EQ(ScreenedBitmapOf(trusted, 10).toHex(), "17c00000");
}

TEST(DhcpChecks, TrustedPortTextAndServerRefusals) {
    std::vector<int> lag(28, 0), trusted;
    EXPECT_EQ(CheckTrustedPorts("1-3,5", lag, trusted), "");
    EXPECT_EQ(PortRangeText(trusted), "1-3,5");
    EXPECT_EQ(CheckTrustedPorts("", lag, trusted), "");
    EXPECT_EQ(PortRangeText(trusted), "");
    for (const char* bad : {"0", "29", "1-29", "a", "1;2"})
        EXPECT_EQ(CheckTrustedPorts(bad, lag, trusted), "Invalid Port list") << bad;
    lag[6] = lag[7] = 2;
    EXPECT_EQ(CheckTrustedPorts("5-7", lag, trusted),
              "The link aggregation member port can not be configured.");
    EXPECT_EQ(CheckTrustedPorts("5,6,9", lag, trusted), "");

    const std::vector<QString> four{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4"};
    EXPECT_EQ(CheckServerAdd(0, "", four), "Invalid IP address.");
    EXPECT_EQ(CheckServerAdd(3, "10.0.0.0", four), "Invalid IP address.");
    for (const char* bad : {"0.0.0.0", "255.255.255.255", "224.0.0.1", "239.9.9.9"})
        EXPECT_EQ(CheckServerAdd(4, bad, four), "Invalid server IP address.") << bad;
    EXPECT_EQ(CheckServerAdd(4, "10.0.0.2", four), "Duplicate server IP address.");
    EXPECT_EQ(CheckServerAdd(4, "10.0.0.5", four), "");
    std::vector<QString> five = four;
    five.push_back("10.0.0.5");
    EXPECT_EQ(CheckServerAdd(4, "10.0.0.6", five), "The maximum entries is 5.");
}

TEST_F(DhcpPage, TrustedPortsAndServers) {
    StartSwitch(QStringLiteral("NSW-4410-08P B1")); // 10 ports
    auto page = OpenPage(kDhcpCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, 1135), "1-10");

    SetText(*page, 1135, "1-3,5");
    ASSERT_TRUE(Press(*page, 1149));
    EXPECT_EQ(GetHex(kScreening), "17c00000");
    EXPECT_EQ(Text(*page, 1135), "1-3,5");
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();

    ASSERT_TRUE(Set(kScreening, "x", "FFC00000"));
    ASSERT_TRUE(Press(*page, 1044));
    EXPECT_EQ(Text(*page, 1135), "");

    auto* server = page->Control<CIpAddressEdit>(203);
    CListControl* list = As<CDhcpScreeningPage>(*page).List();
    for (const char* ip : {"10.0.0.9", "10.0.0.7"}) {
        server->SetAddress(ip);
        ASSERT_TRUE(Press(*page, 1134));
    }
    ASSERT_EQ(list->ItemCount(), 2);
    EXPECT_EQ(list->ItemText(1, 0), "2");
    EXPECT_EQ(Get(kServers + "1.10.0.0.9"), "1");
    EXPECT_EQ(Get(kServers + "3.10.0.0.7"), "1");
    server->SetAddress("10.0.0.9");
    Click(*page, 1134);
    EXPECT_EQ(m_boxes.Last(), "Duplicate server IP address.");
    Shot(*page, QStringLiteral("dhcp-screening"));

    Click(*page, 1121);
    EXPECT_EQ(m_boxes.Last(), "Please select the entry to delete.");
    list->SelectRow(0); // 10.0.0.7, first in the switch's order
    ASSERT_TRUE(Press(*page, 1121));
    ASSERT_EQ(list->ItemCount(), 1);
    EXPECT_EQ(list->ItemText(0, 1), "10.0.0.9");
    EXPECT_NE(Get(kServers + "3.10.0.0.7"), "1");
}

TEST_F(DhcpPage, SixthServerRefusedByThePageOrByTheSwitch) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    for (const char* ip : {"10.1.0.1", "10.1.0.2", "10.1.0.3", "10.1.0.4"})
        AddServerBySnmp(ip);
    auto page = OpenPage(kDhcpCommand);
    ASSERT_TRUE(page);
    ASSERT_EQ(As<CDhcpScreeningPage>(*page).List()->ItemCount(), 4);
    // Someone else adds the fifth: the page still lists four and sends, the
    // switch refuses, the outcome line says so and the list shows five.
    AddServerBySnmp("10.1.0.5");
    page->Control<CIpAddressEdit>(203)->SetAddress("10.1.0.6");
    ASSERT_TRUE(Press(*page, 1134));
    EXPECT_TRUE(page->OutcomeLine().contains("resourceUnavailable"))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(As<CDhcpScreeningPage>(*page).List()->ItemCount(), 5);
    m_boxes.Clear();
    Click(*page, 1134);
    EXPECT_EQ(m_boxes.Last(), "The maximum entries is 5.");
}
