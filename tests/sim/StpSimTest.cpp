// The spanning-tree rules of the switch: the 802.1D timer relations, the
// path cost's two objects, loopback detection and aggregated links.
#include "SimTest.h"

namespace {

class StpSimTest : public CSimSuite {
protected:
    void SetUp() override { StartSim(); }
    void TearDown() override { s_sim.reset(); }
    static QString Bridge(const QString& suffix) { return "1.3.6.1.2.1.17.2." + suffix; }
    static QString Port(int column, int port) {
        return Bridge(QStringLiteral("15.1.%1.%2").arg(column).arg(port));
    }
    static QString Rstp(int column, int port) {
        return Enterprise(QStringLiteral("6.2.1.%1.%2").arg(column).arg(port));
    }
    static QString Lbd(int port) { return Enterprise(QStringLiteral("17.5.1.2.%1").arg(port)); }
    static QString Members(int group) {
        return Enterprise(QStringLiteral("8.1.3.1.2.%1").arg(group));
    }
};

TEST_F(StpSimTest, TimerRelationsHoldForEveryWriteOrder) {
    // max age >= 2 x (hello + 100) and 2 x (delay - 100) >= max age, in
    // hundredths of a second; factory 2000 / 200 / 1500.
    struct Case {
        const char* age;
        const char* hello;
        const char* delay;
        const char* result;
    } cases[] = {
        {"600", "200", "400", ""},                  // both relations on their edge
        {"600", "201", "400", "inconsistentValue"}, // 600 < 2 x 301
        {"601", "200", "400", "inconsistentValue"}, // 2 x 300 < 601
        {"4000", "1000", "2100", ""},               // the ranges' ends meet
        {"4000", "1000", "2099", "inconsistentValue"},
        {"599", "100", "400", "wrongValue"}, // below the age range
        {"2000", "99", "1500", "wrongValue"},
        {"2000", "200", "3001", "wrongValue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1/%2/%3").arg(c.age, c.hello, c.delay).toStdString());
        const QString age = Get(Bridge("12.0")), hello = Get(Bridge("13.0")),
                      delay = Get(Bridge("14.0"));
        EXPECT_EQ(Set({Bridge("12.0"), "i", c.age, Bridge("13.0"), "i", c.hello, Bridge("14.0"),
                       "i", c.delay}),
                  c.result);
        if (QString(c.result).isEmpty()) {
            EXPECT_EQ(Get(Bridge("8.0")), c.age); // the times in use follow
            EXPECT_EQ(Get(Bridge("9.0")), c.hello);
        } else {
            EXPECT_EQ(Get(Bridge("12.0")), age); // nothing of a refused SET stays
            EXPECT_EQ(Get(Bridge("13.0")), hello);
            EXPECT_EQ(Get(Bridge("14.0")), delay);
        }
    }
    // One value at a time is checked against the others held: from 4000 /
    // 1000 / 2100, a delay of 2000 breaks the second relation.
    EXPECT_EQ(Set({Bridge("14.0"), "i", "2000"}), "inconsistentValue");
    // The bridge page's first step makes room for any later one.
    EXPECT_EQ(Set({Bridge("13.0"), "i", "100", Bridge("14.0"), "i", "3000"}), "");
    EXPECT_EQ(Set({Bridge("12.0"), "i", "600"}), "");
    EXPECT_EQ(Set({Bridge("14.0"), "i", "400"}), "");
    EXPECT_EQ(Set({Bridge("13.0"), "i", "200"}), "");
}

TEST_F(StpSimTest, ConfiguredCostAndCostInUse) {
    // 6.2.1.5 holds the configured cost (0 automatic); dot1dStpPortPathCost
    // reads the cost the port runs with.
    EXPECT_EQ(Get(Rstp(5, 4)), "0");
    EXPECT_EQ(Get(Port(5, 4)), "20000");
    // The port page writes the configured cost to both: automatic stays automatic.
    EXPECT_EQ(Set({Port(2, 4), "i", "128", Rstp(5, 4), "i", "0", Port(4, 4), "i", "1", Port(5, 4),
                   "i", "0"}),
              "");
    EXPECT_EQ(Get(Rstp(5, 4)), "0");
    EXPECT_EQ(Get(Port(5, 4)), "20000");
    // A SET that gives the two objects different costs is refused whole
    // (before, the BRIDGE-MIB value silently replaced the other).
    EXPECT_EQ(Set({Rstp(5, 4), "i", "0", Port(5, 4), "i", "20000"}), "inconsistentValue");
    EXPECT_EQ(Set({Rstp(2, 4), "i", "32", Port(2, 4), "i", "48"}), "inconsistentValue");
    EXPECT_EQ(Get(Rstp(5, 4)), "0");
    EXPECT_EQ(Get(Rstp(2, 4)), "128");
    EXPECT_EQ(Set({Port(5, 4), "i", "300"}), "");
    EXPECT_EQ(Get(Rstp(5, 4)), "300");
    EXPECT_EQ(Set({Port(5, 4), "i", "0"}), "");
    EXPECT_EQ(Get(Port(5, 4)), "20000");
}

TEST_F(StpSimTest, SpanningTreeOrLoopbackDetectionNotBoth) {
    // Every port runs the spanning tree from the factory.
    EXPECT_EQ(Set({Lbd(6), "i", "1"}), "inconsistentValue");
    EXPECT_EQ(Get(Lbd(6)), "2");
    // Off first, then loopback detection; in one SET as well.
    EXPECT_EQ(Set({Port(4, 6), "i", "2"}), "");
    EXPECT_EQ(Set({Lbd(6), "i", "1"}), "");
    EXPECT_EQ(Set({Rstp(4, 7), "i", "2", Lbd(7), "i", "1"}), "");
    // Neither enable object turns the spanning tree back on beside it.
    EXPECT_EQ(Set({Port(4, 6), "i", "1"}), "inconsistentValue");
    EXPECT_EQ(Set({Rstp(4, 6), "i", "1"}), "inconsistentValue");
    EXPECT_EQ(Get(Port(4, 6)), "2");
    // Other settings of the port are still taken.
    EXPECT_EQ(Set({Port(2, 6), "i", "64", Port(4, 6), "i", "2"}), "");
    EXPECT_EQ(Set({Lbd(6), "i", "2", Port(4, 6), "i", "1"}), "");
    EXPECT_EQ(Get(Port(4, 6)), "1");
}

TEST_F(StpSimTest, AggregatedLinkKeepsOnePriorityAndCost) {
    ASSERT_EQ(Set({Members(1), "x", "60000000"}), ""); // ports 2 and 3
    // One member alone cannot leave the others behind ...
    EXPECT_EQ(Set({Port(2, 2), "i", "64"}), "inconsistentValue");
    EXPECT_EQ(Set({Rstp(5, 3), "i", "500"}), "inconsistentValue");
    EXPECT_EQ(Set({Port(5, 2), "i", "500"}), "inconsistentValue");
    // ... the whole link in one SET can; ports outside it are free.
    EXPECT_EQ(Set({Port(2, 2), "i", "64", Port(2, 3), "i", "64"}), "");
    EXPECT_EQ(Set({Port(5, 2), "i", "500", Port(5, 3), "i", "500"}), "");
    EXPECT_EQ(Set({Port(2, 4), "i", "16"}), "");
    // Enabling or disabling one member changes neither value.
    EXPECT_EQ(Set({Port(4, 3), "i", "2"}), "");
    EXPECT_EQ(Set({Port(2, 3), "i", "64", Port(4, 3), "i", "1"}), "");

    // With the spanning tree running, a link forms only from ports that agree.
    ASSERT_EQ(Set({Enterprise("6.1.1.0"), "i", "1"}), "");
    EXPECT_EQ(Set({Members(2), "x", "18000000"}), "inconsistentValue"); // 4 (16) and 5 (128)
    EXPECT_EQ(Set({Port(2, 4), "i", "128"}), "");
    EXPECT_EQ(Set({Members(2), "x", "18000000"}), "");
    // Off, it does not look: a link of differing ports can form, and its
    // ports can be made to agree one at a time.
    ASSERT_EQ(Set({Enterprise("6.1.1.0"), "i", "2"}), "");
    ASSERT_EQ(Set({Port(2, 8), "i", "32"}), "");
    EXPECT_EQ(Set({Members(3), "x", "01800000"}), ""); // 8 (32) and 9 (128)
    EXPECT_EQ(Set({Port(4, 8), "i", "2"}), "");
    EXPECT_EQ(Set({Port(2, 9), "i", "32"}), "");
}

} // namespace
