// ARP spoofing prevention, DHCP server screening, traffic segmentation and
// storm control: what the switch takes and what it refuses.
#include "SimTest.h"

namespace {

class SecuritySimTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim(); } // NSW-4410-28P B1: 28 ports, 63 Kbit/s
    static QString Server(int column, const QString& address) {
        return Enterprise(QStringLiteral("14.7.2.1.%1.").arg(column) + address);
    }
    static QString CreateServer(const QString& address) {
        return Set({Server(2, address), "a", address, Server(3, address), "i", "4"});
    }
    static QString DestroyServer(const QString& address) {
        return Set({Server(3, address), "i", "6"});
    }
};

TEST_F(SecuritySimTest, TrustedServerRowsKeepTheirEntryNumberAndAddress) {
    ASSERT_EQ(CreateServer("10.2.0.1"), "");
    ASSERT_EQ(CreateServer("10.2.0.2"), "");
    ASSERT_EQ(CreateServer("10.2.0.3"), "");
    EXPECT_EQ(Get(Server(1, "10.2.0.2")), "2");
    // Entry numbers stay with their rows: after the first row goes, the
    // second is still entry 2 (not the first position) and a new row takes 1.
    ASSERT_EQ(DestroyServer("10.2.0.1"), "");
    EXPECT_EQ(Get(Server(1, "10.2.0.2")), "2");
    EXPECT_EQ(Get(Server(1, "10.2.0.3")), "3");
    ASSERT_EQ(CreateServer("10.2.0.9"), "");
    EXPECT_EQ(Get(Server(1, "10.2.0.9")), "1");
    EXPECT_EQ(Get(Server(2, "10.2.0.9")), "10.2.0.9");

    // One address, one row: a duplicate and an address other than the index
    // are refused, and so is an entry number used as the index.
    EXPECT_EQ(CreateServer("10.2.0.2"), "inconsistentValue");
    EXPECT_EQ(Set({Server(2, "10.2.0.7"), "a", "10.2.0.8", Server(3, "10.2.0.7"), "i", "4"}),
              "inconsistentValue");
    EXPECT_EQ(Set({Server(2, "10.2.0.3"), "a", "10.2.0.4"}), "inconsistentValue");
    EXPECT_EQ(
        Set({Enterprise("14.7.2.1.2.4"), "a", "10.2.0.4", Enterprise("14.7.2.1.3.4"), "i", "4"}),
        "noCreation");
    EXPECT_EQ(CreateServer("224.0.0.9"), "noCreation");
    EXPECT_EQ(Walk(Enterprise("14.7.2.1.2")).size(), 3);

    // Destroying a row that is not there: noError and nothing changes.
    EXPECT_EQ(DestroyServer("10.2.0.50"), "");
    EXPECT_EQ(Walk(Enterprise("14.7.2.1.2")).size(), 3);

    // At most five; the sixth is refused whatever its number would be.
    ASSERT_EQ(CreateServer("10.2.0.10"), "");
    ASSERT_EQ(CreateServer("10.2.0.11"), "");
    EXPECT_EQ(Get(Server(1, "10.2.0.11")), "5");
    EXPECT_EQ(CreateServer("10.2.0.12"), "resourceUnavailable");
    for (const char* address : {"10.2.0.2", "10.2.0.3", "10.2.0.9", "10.2.0.10", "10.2.0.11"})
        EXPECT_EQ(DestroyServer(address), "");
}

TEST_F(SecuritySimTest, AggregatedLinkRules) {
    // Ports 3 and 4 form group 2.
    ASSERT_EQ(
        Set({Enterprise("8.1.3.1.2.2"), "x", "30000000", Enterprise("8.1.3.1.3.2"), "i", "2"}), "");
    // A member's forwarding list is refused; other ports take theirs.
    EXPECT_EQ(Set({Enterprise("14.9.2.1.2.3"), "x", "F0000000"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("14.9.2.1.2.5"), "x", "F0000000"}), "");
    EXPECT_EQ(Get(Enterprise("14.9.2.1.2.5")), "\"F0 00 00 00 \"");
    // Screening and ARP lists take a group whole or not at all.
    EXPECT_EQ(Set({Enterprise("14.7.1.0"), "x", "20000000"}), "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("14.7.1.0"), "x", "30000000"}), "");
    const QString arp = Enterprise("14.3.1.1.%1.10.3.0.1");
    EXPECT_EQ(
        Set({arp.arg(2), "x", "001122334455", arp.arg(3), "x", "10000000", arp.arg(4), "i", "4"}),
        "inconsistentValue");
    EXPECT_EQ(Set({Enterprise("14.7.1.0"), "x", "00000000"}), "");
    EXPECT_EQ(Set({Enterprise("8.1.3.1.2.2"), "x", "00000000"}), "");
    EXPECT_EQ(Set({Enterprise("14.9.2.1.2.3"), "x", "F0000000"}), "");
}

TEST_F(SecuritySimTest, ArpTableHoldsSixtyFourGateways) {
    // Two requests of 32 rows (the tool takes at most 128 assignments).
    for (int first : {1, 33}) {
        QStringList rows;
        for (int i = first; i < first + 32; ++i) {
            const QString arp =
                Enterprise(QStringLiteral("14.3.1.1.%1.10.4.1.") + QString::number(i));
            rows << arp.arg(2) << "x" << QStringLiteral("0011223344%1").arg(i, 2, 16, QChar(u'0'))
                 << arp.arg(3) << "x"
                 << "80000000" << arp.arg(4) << "i"
                 << "4";
        }
        ASSERT_EQ(Set(rows), "");
    }
    const QString next = Enterprise("14.3.1.1.%1.10.4.2.1");
    EXPECT_EQ(Set({next.arg(2), "x", "001122334455", next.arg(3), "x", "80000000", next.arg(4), "i",
                   "4"}),
              "resourceUnavailable");
    // The editor's order: create and wait, the columns, then active.
    const QString first = Enterprise("14.3.1.1.4.10.4.1.1");
    EXPECT_EQ(Set({first, "i", "6"}), "");
    EXPECT_EQ(Set({next.arg(4), "i", "5"}), "");
    EXPECT_EQ(Get(next.arg(4)), "3"); // notReady until the MAC is there
    EXPECT_EQ(Set({next.arg(2), "x", "001122334466", next.arg(3), "x", "80000000"}), "");
    EXPECT_EQ(Set({next.arg(4), "i", "1"}), "");
    EXPECT_EQ(Get(next.arg(4)), "1");
}

class StormSimTest : public CSimSuite {
protected:
    static void SetUpTestSuite() { StartSim({"--model", "NSW-4410-28 B1"}); } // 64 Kbit/s
};

TEST_F(StormSimTest, ThresholdRangeOfTheSixtyFourUnit) {
    const QString threshold = Enterprise("13.3.3.0");
    EXPECT_EQ(Set({threshold, "i", "64"}), "");
    EXPECT_EQ(Set({threshold, "i", "1024000"}), "");
    EXPECT_EQ(Get(threshold), "1024000");
    EXPECT_EQ(Set({threshold, "i", "1024064"}), "wrongValue");
    EXPECT_EQ(Set({threshold, "i", "63"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("13.3.2.0"), "i", "4"}), "wrongValue");
    EXPECT_EQ(Set({Enterprise("13.3.1.0"), "i", "1", Enterprise("13.3.2.0"), "i", "3"}), "");
    EXPECT_EQ(Get(Enterprise("13.3.2.0")), "3");
}

} // namespace
