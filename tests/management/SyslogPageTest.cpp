// The syslog page against nsw-sim: loads, checks, both Applies read back, and
// the switch's messages arriving at a loopback "server".
#include "PageTestKit.h"
#include "pages/management/Syslog.h"
#include "platform/IpAddressEdit.h"

#include <QHostAddress>
#include <QUdpSocket>

namespace {

constexpr int kSyslogCommand = 32832;
constexpr int kIdServer = 203, kIdPort = 206, kIdSeverity = 207, kIdFacility = 211,
              kIdRefresh = 241, kIdApply = 242, kIdApplyState = 1000, kIdEnable = 1016;

QString Syslog(int arc) {
    return QStringLiteral("1.3.6.1.4.1.32473.10.75.7.16.1.%1.0").arg(arc);
}

class SyslogPage : public CPageTestKit {
protected:
    void SetUp() override {
        CPageTestKit::SetUp();
        StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    }
    static bool ServerControlsEnabled(CPageBase& page) {
        return IsEnabled(page, kIdServer) && IsEnabled(page, kIdPort) &&
               IsEnabled(page, kIdSeverity) && IsEnabled(page, kIdFacility);
    }
    static bool ServerControlsDisabled(CPageBase& page) {
        return !IsEnabled(page, kIdServer) && !IsEnabled(page, kIdPort) &&
               !IsEnabled(page, kIdSeverity) && !IsEnabled(page, kIdFacility);
    }
};

TEST_F(SyslogPage, AppliesTheServerAndTheSwitchLogsThere) {
    QUdpSocket server;
    ASSERT_TRUE(server.bind(QHostAddress::LocalHost, 0));
    auto page = OpenPage(kSyslogCommand);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsChecked(*page, kIdEnable));
    EXPECT_TRUE(ServerControlsDisabled(*page));
    EXPECT_EQ(Text(*page, kIdPort), "514");
    EXPECT_EQ(Text(*page, kIdSeverity), "Warning");
    EXPECT_EQ(Text(*page, kIdFacility), "local0");

    Check(*page, kIdEnable, true);
    EXPECT_TRUE(ServerControlsEnabled(*page));
    ResetRequests();
    page->Control<CIpAddressEdit>(kIdServer)->SetAddress(QStringLiteral("10.1.1.255"));
    Click(*page, kIdApply);
    page->Control<CIpAddressEdit>(kIdServer)->SetAddress(QStringLiteral("127.0.0.1"));
    SetText(*page, kIdPort, QStringLiteral("0"));
    Click(*page, kIdApply);
    EXPECT_EQ(m_boxes.Texts(),
              (QStringList{"Syslog Server IP Error.", "Invalid UDP port range (1-65535)"}));
    EXPECT_EQ(Requests(), 0);

    m_boxes.Clear();
    SetText(*page, kIdPort, QString::number(server.localPort()));
    Choose(*page, kIdSeverity, QStringLiteral("Info"));
    Choose(*page, kIdFacility, QStringLiteral("local2"));
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"Set System log Server successfully"});
    EXPECT_EQ(Get(Syslog(1)), "127.0.0.1");
    EXPECT_EQ(Get(Syslog(2)), QString::number(server.localPort()));
    EXPECT_EQ(Get(Syslog(4)), "6");
    EXPECT_EQ(Get(Syslog(5)), "144");
    EXPECT_EQ(Get(Syslog(6)), "1");
    EXPECT_TRUE(IsChecked(*page, kIdEnable));
    EXPECT_EQ(Text(*page, kIdFacility), "local2");
    Shot(*page, QStringLiteral("syslog"));

    // local2 (144) plus notice (5).
    ASSERT_TRUE(server.waitForReadyRead(5000));
    QByteArray message(static_cast<int>(server.pendingDatagramSize()), '\0');
    server.readDatagram(message.data(), message.size());
    EXPECT_TRUE(message.startsWith("<149>1 ")) << message.toStdString();
    EXPECT_TRUE(message.endsWith(" CONFIG - Remote logging enabled")) << message.toStdString();

    // Cleared box: Apply writes only the state, whatever the fields say.
    m_boxes.Clear();
    Check(*page, kIdEnable, false);
    EXPECT_TRUE(ServerControlsDisabled(*page));
    SetText(*page, kIdPort, QStringLiteral("999"));
    ASSERT_TRUE(Press(*page, kIdApply));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"Set System log Server successfully"});
    EXPECT_EQ(Get(Syslog(6)), "2");
    EXPECT_EQ(Get(Syslog(2)), QString::number(server.localPort()));
    EXPECT_EQ(Text(*page, kIdPort), QString::number(server.localPort())); // reloaded

    // Apply state alone.
    Check(*page, kIdEnable, true);
    ASSERT_TRUE(Press(*page, kIdApplyState));
    EXPECT_EQ(Get(Syslog(6)), "1");
}

TEST_F(SyslogPage, ReadsValuesTheListsDoNotOffer) {
    ASSERT_TRUE(Set(Syslog(4), QStringLiteral("i"), QStringLiteral("7")));
    ASSERT_TRUE(Set(Syslog(5), QStringLiteral("i"), QStringLiteral("152")));
    auto page = OpenPage(kSyslogCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, kIdSeverity), "All");
    EXPECT_EQ(Text(*page, kIdFacility), "local3");

    ASSERT_TRUE(SetControl(QStringLiteral("7.1.0"), QStringLiteral("i"), QStringLiteral("120")));
    ASSERT_TRUE(SetControl(QStringLiteral("7.2.0"), QStringLiteral("i"), QStringLiteral("5")));
    ASSERT_TRUE(Press(*page, kIdRefresh));
    EXPECT_EQ(Text(*page, kIdFacility), "local0");
    EXPECT_EQ(Text(*page, kIdSeverity), "All"); // left as it was

    // A sixth digit is cut back to five.
    SetText(*page, kIdPort, QStringLiteral("12345"));
    QLineEdit* port = page->Control<QLineEdit>(kIdPort);
    port->setEnabled(true);
    port->setCursorPosition(5);
    QTest::keyClick(port, Qt::Key_6);
    EXPECT_EQ(Text(*page, kIdPort), "12345");
    EXPECT_EQ(port->cursorPosition(), 5);
}

} // namespace
