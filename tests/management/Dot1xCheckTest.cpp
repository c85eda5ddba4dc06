// The 802.1X pages' checks, without widgets.
#include "pages/management/Dot1x.h"

#include <gtest/gtest.h>

namespace {

SDot1xGlobal Good() {
    SDot1xGlobal in;
    in.server = QStringLiteral("10.1.2.3");
    in.key = in.confirmKey = QStringLiteral("secret");
    in.reAuthEntry = 1;
    in.quietPeriod = QStringLiteral("60");
    in.txPeriod = QStringLiteral("30");
    in.suppTimeout = QStringLiteral("30");
    in.serverTimeout = QStringLiteral("30");
    in.maxReq = QStringLiteral("2");
    in.reAuthPeriod = QStringLiteral("3600");
    return in;
}

QString Check(const SDot1xGlobal& in) {
    return CheckDot1xGlobal(in);
}

} // namespace

TEST(Dot1xGlobalCheck, AddressThenKeyThenConfirmation) {
    SDot1xGlobal in = Good();
    in.server = QStringLiteral("0.0.0.0");
    in.key.clear(); // the address is checked first
    EXPECT_EQ(Check(in), "Invalid RADIUS Server IP Address.");
    in.server.clear(); // a blank address control
    EXPECT_EQ(Check(in), "Invalid RADIUS Server IP Address.");
    in.server = QStringLiteral("10.1.2.256");
    EXPECT_EQ(Check(in), "Invalid RADIUS Server IP Address.");
    in.server = QStringLiteral("10.1.2.3");
    EXPECT_EQ(Check(in), "Invalid Key.");
    in.key = QStringLiteral("one");
    in.confirmKey = QStringLiteral("One");
    EXPECT_EQ(Check(in), "Please confirm the key again !");
}

TEST(Dot1xGlobalCheck, KeyOfMoreThanThirtyTwoOctetsIsRefusedBeforeSending) {
    SDot1xGlobal in = Good();
    in.key = in.confirmKey = QString(32, u'k');
    EXPECT_EQ(Check(in), "");
    in.key = in.confirmKey = QString(33, u'k');
    EXPECT_EQ(Check(in), "Invalid Key. The key can hold at most 32 characters.");
    // 16 characters of two octets each fit; 17 do not.
    in.key = in.confirmKey = QString(16, QChar(0xe9));
    EXPECT_EQ(Check(in), "");
    in.key = in.confirmKey = QString(17, QChar(0xe9));
    EXPECT_FALSE(Check(in).isEmpty());
}

TEST(Dot1xGlobalCheck, RangesInTableOrderWithTheirBounds) {
    SDot1xGlobal in = Good();
    in.quietPeriod = QStringLiteral("0"); // QuietPeriod 0 is allowed
    EXPECT_EQ(Check(in), "");
    // Two bad values: the one earlier in the table speaks.
    in.quietPeriod = QStringLiteral("65536");
    in.txPeriod = QStringLiteral("0");
    EXPECT_EQ(Check(in), "Invalid QuietPeriod (0-65535)");
    in.quietPeriod = QStringLiteral("65535");
    EXPECT_EQ(Check(in), "Invalid TxPeriod (1-65535)");
    in.txPeriod = QStringLiteral("1");
    in.suppTimeout = QStringLiteral("abc");
    EXPECT_EQ(Check(in), "Invalid SuppTimeout (1-65535)");
    in.suppTimeout = QStringLiteral("65535");
    in.serverTimeout = QString();
    EXPECT_EQ(Check(in), "Invalid ServerTimeout (1-65535)");
    in.serverTimeout = QStringLiteral("1");
    in.maxReq = QStringLiteral("11");
    EXPECT_EQ(Check(in), "Invalid MaxReq (1-10)");
    in.maxReq = QStringLiteral("10");
    in.reAuthPeriod = QStringLiteral("4294967296");
    EXPECT_EQ(Check(in), "Invalid ReAuthPeriod (1-4294967295)");
    in.reAuthPeriod = QStringLiteral("4294967295");
    EXPECT_EQ(Check(in), "");
}

TEST(Dot1xGlobalCheck, OneRequestInTheOrderOfTheObjects) {
    SDot1xGlobal in = Good();
    in.reAuthPeriod = QStringLiteral("4294967295");
    std::vector<SSetVar> vars;
    ASSERT_EQ(CheckDot1xGlobal(in, &vars), "");
    ASSERT_EQ(vars.size(), 10u);
    EXPECT_EQ(vars[0].oid, Dot1xOid::kState);
    EXPECT_EQ(vars[0].value, "1");
    EXPECT_EQ(vars[1].type, SnmpType::kIpAddress);
    EXPECT_EQ(vars[1].value, "10.1.2.3");
    EXPECT_EQ(vars[2].type, SnmpType::kOctetString);
    EXPECT_EQ(vars[3].value, "2"); // "Disabled"
    EXPECT_EQ(vars[4].oid, Dot1xOid::kQuietPeriod);
    EXPECT_EQ(vars[8].oid, Dot1xOid::kMaxReq);
    EXPECT_EQ(vars[9].type, SnmpType::kUnsigned);
    EXPECT_EQ(vars[9].value, "4294967295");
}

TEST(Dot1xPortCheck, AggregatedPortsAndTheLastAuthorizedPort) {
    constexpr int n = 8;
    std::vector<int> control(n, 3), lag(n, 0);
    lag[5] = 2; // port 6
    EXPECT_EQ(CheckDot1xPorts(control, lag, 4, 6, 3, n),
              "Cannot add an aggregated link to the 802.1X-enabled port");
    EXPECT_EQ(CheckDot1xPorts(control, lag, 1, 5, 2, n), "");
    lag[5] = 0;
    // Every port ForceAuthorized is allowed.
    EXPECT_EQ(CheckDot1xPorts(control, lag, 1, 8, 3, n), "");
    EXPECT_EQ(CheckDot1xPorts(control, lag, 1, 8, 1, n),
              "Could not set all ports to  Force Unauthorized to the port access control.");
    EXPECT_EQ(CheckDot1xPorts(control, lag, 1, 8, 2, n),
              "Could not set all ports to AUTO  to the port access control.");
    // Ports 1-7 ForceUnauthorized: the last one may not follow.
    control.assign(n, 1);
    control[7] = 3;
    EXPECT_EQ(CheckDot1xPorts(control, lag, 8, 8, 1, n),
              "Could not set all ports to  Force Unauthorized to the port access control.");
    // Mixed: every port would be Auto or ForceUnauthorized.
    EXPECT_EQ(CheckDot1xPorts(control, lag, 8, 8, 2, n),
              "Could not set all ports to AUTO or Force Unauthorized to the port access control.");
    // Turning one of them back is fine, and so is changing ports within the range.
    EXPECT_EQ(CheckDot1xPorts(control, lag, 1, 1, 3, n), "");
    EXPECT_EQ(CheckDot1xPorts(control, lag, 1, 7, 2, n), "");
}

TEST(Dot1xTexts, PortControlAndStatus) {
    EXPECT_EQ(PortControlText("1"), "ForceUnauthorized");
    EXPECT_EQ(PortControlText("2"), "Auto");
    EXPECT_EQ(PortControlText("3"), "ForceAuthorized");
    EXPECT_EQ(PortControlText("0"), "Other");
    EXPECT_EQ(PortStatusText("1"), "Authorized");
    EXPECT_EQ(PortStatusText("2"), "Unauthorized");
    EXPECT_EQ(PortStatusText(""), "Other");
}
