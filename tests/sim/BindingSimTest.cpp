// Smart binding as its pages write and read it: the per-port values, the
// refusal of binding on every port, the scan objects, and a scan result's
// binding state and VLAN as the switch holds them.
#include "SimTest.h"

namespace {

const QString kAdmin = QStringLiteral("14.10.1.1.2.");
const QString kInspection = QStringLiteral("14.10.1.1.3.");
const QString kSnooping = QStringLiteral("14.10.1.1.4.");
const QString kScanIp = QStringLiteral("14.10.2.1.1");
const QString kScanVid = QStringLiteral("14.10.2.1.2.");
const QString kScanPort = QStringLiteral("14.10.2.1.3.");
const QString kScanBinding = QStringLiteral("14.10.2.1.5.");
const QString kWhitePort = QStringLiteral("14.10.3.1.3.");
const QString kWhiteStatus = QStringLiteral("14.10.3.1.4.");
constexpr int kPorts = 10;

class BindingSimTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim({"--model", "NGX-4410-10P B1"}); }

    // Scans the range; empty when the switch took it.
    static QString Scan(const QString& from, const QString& to) {
        return Set({Enterprise("14.10.5.0"), "a", from, Enterprise("14.10.6.0"), "a", to,
                    Enterprise("14.10.7.0"), "i", "1"});
    }
    // Row indexes (IP.MAC.port) of the scan results.
    static QStringList ScanRows() {
        QStringList rows;
        const QString prefix = u'.' + Enterprise(kScanIp) + u'.';
        for (const QString& line : Walk(Enterprise(kScanIp)))
            rows << line.section(u' ', 0, 0).mid(prefix.size());
        return rows;
    }
    // The white-list index (IP.MAC) of a scan row.
    static QString HostOf(const QString& scanRow) { return scanRow.section(u'.', 0, 9); }
};

TEST_F(BindingSimTest, PortSettingsTakeOneOrTwo) {
    for (const QString& column : {kAdmin, kInspection, kSnooping}) {
        EXPECT_EQ(Set({Enterprise(column + "3"), "i", "1"}), "") << column.toStdString();
        EXPECT_EQ(Get(Enterprise(column + "3")), "1");
        EXPECT_EQ(Set({Enterprise(column + "3"), "i", "2"}), "") << column.toStdString();
        EXPECT_EQ(Get(Enterprise(column + "3")), "2");
        EXPECT_EQ(Set({Enterprise(column + "3"), "i", "0"}), "wrongValue") << column.toStdString();
        EXPECT_EQ(Set({Enterprise(column + "3"), "i", "3"}), "wrongValue") << column.toStdString();
    }
}

TEST_F(BindingSimTest, BindingOnEveryPortIsRefused) {
    QStringList allButLast, all, none;
    for (int p = 1; p <= kPorts; ++p) {
        const QString oid = Enterprise(kAdmin + QString::number(p));
        all << oid << "i"
            << "1";
        none << oid << "i"
             << "2";
        if (p < kPorts)
            allButLast << oid << "i"
                       << "1";
    }
    EXPECT_EQ(Set(all), "inconsistentValue");
    EXPECT_EQ(Get(Enterprise(kAdmin + "1")), "2");
    // One port at a time: the last one is refused, the others stay.
    EXPECT_EQ(Set(allButLast), "");
    EXPECT_EQ(Set({Enterprise(kAdmin + QString::number(kPorts)), "i", "1"}), "inconsistentValue");
    EXPECT_EQ(Get(Enterprise(kAdmin + QString::number(kPorts))), "2");
    EXPECT_EQ(Get(Enterprise(kAdmin + "1")), "1");
    EXPECT_EQ(Set(none), "");
}

TEST_F(BindingSimTest, ScanObjectsTakeARangeOfAtMost256Addresses) {
    EXPECT_EQ(Scan("192.168.7.20", "192.168.7.10"), "inconsistentValue");
    EXPECT_EQ(Scan("0.0.0.0", "192.168.7.10"), "inconsistentValue");
    EXPECT_EQ(Scan("192.168.7.0", "192.168.8.0"), "inconsistentValue");
    EXPECT_EQ(Scan("192.168.7.0", "192.168.7.255"), "");
    EXPECT_EQ(ScanRows().size(), 171); // all but each third address
    // The scan object starts a scan; at rest it reads 2.
    EXPECT_EQ(Get(Enterprise("14.10.7.0")), "2");
    EXPECT_EQ(Get(Enterprise("14.10.5.0")), "192.168.7.0");
    EXPECT_EQ(Get(Enterprise("14.10.6.0")), "192.168.7.255");
    EXPECT_EQ(Set({Enterprise("14.10.7.0"), "i", "3"}), "wrongValue");
}

TEST_F(BindingSimTest, ScanResultVlanIsThePortsVlan) {
    ASSERT_EQ(Set({Enterprise("7.6.1.1.20"), "s", "v20", Enterprise("7.6.1.5.20"), "i", "4"}), "");
    for (int p = 1; p <= kPorts; ++p)
        ASSERT_EQ(Set({Enterprise("7.7.1.1." + QString::number(p)), "u", p % 2 ? "20" : "1"}), "");
    ASSERT_EQ(Scan("10.1.1.1", "10.1.1.12"), "");
    const QStringList rows = ScanRows();
    ASSERT_EQ(rows.size(), 8);
    bool sawOdd = false, sawEven = false;
    for (const QString& row : rows) {
        const int port = Get(Enterprise(kScanPort + row)).toInt();
        EXPECT_EQ(row.section(u'.', 10, 10).toInt(), port);
        EXPECT_EQ(Get(Enterprise(kScanVid + row)), port % 2 ? "20" : "1") << row.toStdString();
        (port % 2 ? sawOdd : sawEven) = true;
    }
    EXPECT_TRUE(sawOdd && sawEven);
    for (int p = 1; p <= kPorts; ++p)
        ASSERT_EQ(Set({Enterprise("7.7.1.1." + QString::number(p)), "u", "1"}), "");
}

TEST_F(BindingSimTest, BindingStateFollowsTheWhiteList) {
    ASSERT_EQ(Scan("172.16.0.1", "172.16.0.9"), "");
    const QStringList rows = ScanRows();
    ASSERT_GE(rows.size(), 3);
    const QString bound = rows[0], byHand = rows[1], other = rows[2];
    for (const QString& row : rows)
        EXPECT_EQ(Get(Enterprise(kScanBinding + row)), "2") << row.toStdString();

    // Binding a host puts it on the white list with its port.
    EXPECT_EQ(Set({Enterprise(kScanBinding + bound), "i", "1"}), "");
    EXPECT_EQ(Get(Enterprise(kScanBinding + bound)), "1");
    EXPECT_EQ(Get(Enterprise(kWhitePort + HostOf(bound))), bound.section(u'.', 10, 10));
    // Removed from the white list, the host is no longer bound.
    EXPECT_EQ(Set({Enterprise(kWhiteStatus + HostOf(bound)), "i", "6"}), "");
    EXPECT_EQ(Get(Enterprise(kScanBinding + bound)), "2");

    // Put on the white list by hand, the host reads bound.
    EXPECT_EQ(Set({Enterprise(kWhitePort + HostOf(byHand)), "i", byHand.section(u'.', 10, 10),
                   Enterprise(kWhiteStatus + HostOf(byHand)), "i", "4"}),
              "");
    EXPECT_EQ(Get(Enterprise(kScanBinding + byHand)), "1");
    EXPECT_EQ(Get(Enterprise(kScanBinding + other)), "2");
    // Writing 2 unbinds: the white-list entry goes.
    EXPECT_EQ(Set({Enterprise(kScanBinding + byHand), "i", "2"}), "");
    EXPECT_EQ(Get(Enterprise(kScanBinding + byHand)), "2");
    EXPECT_TRUE(Get(Enterprise(kWhiteStatus + HostOf(byHand))).startsWith("No Such Instance"));
    EXPECT_EQ(Set({Enterprise(kScanBinding + other), "i", "3"}), "wrongValue");
}

} // namespace
