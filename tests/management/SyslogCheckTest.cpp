// The syslog page's checks and value maps.
#include "pages/management/Syslog.h"

#include <gtest/gtest.h>

TEST(SyslogChecks, ServerAddressEnds) {
    const QString error = QStringLiteral("Syslog Server IP Error.");
    const QString port = QStringLiteral("514");
    for (const char* address : {"0.1.2.3", "10.1.1.255", "255.1.1.1", "10.1.1.0", ""})
        EXPECT_EQ(CheckSyslogServer(QLatin1String(address), port), error) << address;
    EXPECT_EQ(CheckSyslogServer(QStringLiteral("10.0.0.1"), port), "");
    EXPECT_EQ(CheckSyslogServer(QStringLiteral("10.255.0.1"), port), ""); // only the ends count
}

TEST(SyslogChecks, PortRange) {
    const QString error = QStringLiteral("Invalid UDP port range (1-65535)");
    const QString address = QStringLiteral("10.0.0.1");
    for (const char* port : {"0", "65536", "", "abc", "-1"})
        EXPECT_EQ(CheckSyslogServer(address, QLatin1String(port)), error) << port;
    EXPECT_EQ(CheckSyslogServer(address, QStringLiteral("1")), "");
    EXPECT_EQ(CheckSyslogServer(address, QStringLiteral("65535")), "");
    // The address is checked first.
    EXPECT_EQ(CheckSyslogServer(QStringLiteral("0.0.0.1"), QStringLiteral("0")),
              "Syslog Server IP Error.");
}

TEST(SyslogChecks, ValueMaps) {
    EXPECT_EQ(SyslogSeverityValue(0), 4);
    EXPECT_EQ(SyslogSeverityValue(1), 6);
    EXPECT_EQ(SyslogSeverityValue(2), 7);
    EXPECT_EQ(SyslogSeverityPosition(QStringLiteral("7")), 2);
    EXPECT_EQ(SyslogSeverityPosition(QStringLiteral("5")), -1); // leaves the selection
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(SyslogFacilityValue(n), 128 + 8 * n);
        EXPECT_EQ(SyslogFacilityPosition(QString::number(128 + 8 * n)), n);
    }
    EXPECT_EQ(SyslogFacilityPosition(QStringLiteral("120")), 0);
    EXPECT_EQ(SyslogFacilityPosition(QStringLiteral("185")), 0);
}
