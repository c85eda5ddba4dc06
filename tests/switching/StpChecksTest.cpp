// The spanning-tree pages' checks and write plan, without windows.
#include "QtPrint.h"
#include "pages/switching/Layer2.h"
#include "pages/switching/Stp.h"

#include <gtest/gtest.h>

namespace {

const QString kAge =
    QStringLiteral("Invalid Age Time value, the valid Age Time range is  (600-4000) ms !");
const QString kDelay =
    QStringLiteral("Invalid Forward Delay value, the valid Forward Delay range is (400-3000) ms !");
const QString kHello =
    QStringLiteral("Invalid Hello Time value, the valid Hello Time range is (100-1000) ms !");
const QString kHelloRelation =
    QStringLiteral("To set the parameters Hello Time and Max Age the following relation is to be "
                   "satisfied: \nMax Age >= (2*(Hello Time + 1.0))");
const QString kDelayRelation =
    QStringLiteral("To set the parameters Forward Delay and Max Age, the following relation is to "
                   "be satisfied: \n2*(Forward Delay - 1) >= Max Age");
const QString kCost = QStringLiteral("Invalid Path Cost(1-200000000)");
const QString kLink =
    QStringLiteral("Cannot add ports with different STP configurations to an aggregated link.");

TEST(StpChecks, BridgeTimersInOrder) {
    struct Case {
        const char *age, *hello, *delay;
        QString message;
    } cases[] = {
        {"2000", "200", "1500", {}},
        {"600", "200", "400", {}},             // both relations on their edge
        {"600", "201", "400", kHelloRelation}, // 2 x 201 + 200 > 600
        {"601", "200", "400", kDelayRelation}, // 2 x 400 - 200 < 601
        {"4000", "1000", "2100", {}},
        {"4000", "1000", "2099", kDelayRelation},
        {"599", "200", "1500", kAge},
        {"4001", "200", "1500", kAge},
        {"", "200", "1500", kAge},
        {"2000", "200", "399", kDelay},
        {"2000", "200", "3001", kDelay},
        {"2000", "99", "1500", kHello},
        {"2000", "1001", "1500", kHello},
        {"2000", "2x", "1500", kHello},
        // The ranges come before the relations, the age first of all.
        {"599", "1001", "3001", kAge},
        {"2000", "1001", "3001", kDelay},
        {"2000", "1000", "400", kHelloRelation}, // both relations broken
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckBridgeTimers(c.age, c.hello, c.delay), c.message)
            << c.age << "/" << c.hello << "/" << c.delay;
}

TEST(StpChecks, BridgeWritesSeparateSetsInOrder) {
    SBridgeApply apply{true, 0, 600, 200, 400, 4096, 0};
    std::vector<SWriteStep> steps = BridgeWriteSteps(apply);
    ASSERT_EQ(steps.size(), 7u);
    // RSTP on first, given its long time-out, since the switch held it off.
    ASSERT_EQ(steps[0].vars.size(), 1u);
    EXPECT_EQ(steps[0].vars[0].oid, "1.3.6.1.4.1.32473.10.75.7.6.1.1.0");
    EXPECT_EQ(steps[0].vars[0].value, "1");
    EXPECT_EQ(steps[0].timeoutMs, 3500u);
    // Hello 100 and delay 3000 together, then a pause.
    ASSERT_EQ(steps[1].vars.size(), 2u);
    EXPECT_EQ(steps[1].vars[0].oid, "1.3.6.1.2.1.17.2.13.0");
    EXPECT_EQ(steps[1].vars[0].value, "100");
    EXPECT_EQ(steps[1].vars[1].oid, "1.3.6.1.2.1.17.2.14.0");
    EXPECT_EQ(steps[1].vars[1].value, "3000");
    EXPECT_EQ(steps[1].pauseAfterMs, 50);
    const std::pair<const char*, const char*> rest[] = {{"1.3.6.1.2.1.17.2.12.0", "600"},
                                                        {"1.3.6.1.2.1.17.2.14.0", "400"},
                                                        {"1.3.6.1.2.1.17.2.13.0", "200"},
                                                        {"1.3.6.1.2.1.17.2.2.0", "4096"},
                                                        {"1.3.6.1.4.1.32473.10.75.7.6.1.2.0", "0"}};
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(steps[i + 2].vars.size(), 1u);
        EXPECT_EQ(steps[i + 2].vars[0].oid, rest[i].first);
        EXPECT_EQ(steps[i + 2].vars[0].value, rest[i].second);
        EXPECT_EQ(steps[i + 2].vars[0].type, 1);
    }
    EXPECT_EQ(steps[6].pauseAfterMs, 30);

    // Already on: the state is not written again.
    apply.rstpEnable = 1;
    apply.version = 2;
    steps = BridgeWriteSteps(apply);
    ASSERT_EQ(steps.size(), 6u);
    EXPECT_EQ(steps[0].vars[0].oid, "1.3.6.1.2.1.17.2.13.0");
    EXPECT_EQ(steps[5].vars[0].value, "2");

    // Off: the state alone, whatever the timers hold.
    for (int held : {0, 1}) {
        steps = BridgeWriteSteps({false, held, 1, 99999, -4, 7, 2});
        ASSERT_EQ(steps.size(), 1u);
        ASSERT_EQ(steps[0].vars.size(), 1u);
        EXPECT_EQ(steps[0].vars[0].oid, "1.3.6.1.4.1.32473.10.75.7.6.1.1.0");
        EXPECT_EQ(steps[0].vars[0].value, "2");
        EXPECT_EQ(steps[0].pauseAfterMs, 30);
    }
}

TEST(StpChecks, PortApplyCostAndLoopbackDetection) {
    SStpPorts ports;
    ports.lagOfPort.assign(8, 0);
    ports.priority.assign(8, 128);
    ports.cost.assign(8, 0);
    ports.loopback.assign(8, 2);
    ports.loopback[4] = 1; // port 5
    for (const char* bad : {"-1", "200000001", "", "12a", "1.5"})
        EXPECT_EQ(CheckStpPortApply(ports, 1, 128, bad, true), kCost) << bad;
    for (const char* good : {"0", "1", "200000000", " 20000 "})
        EXPECT_EQ(CheckStpPortApply(ports, 1, 128, good, true), "") << good;
    // The cost comes first, then loopback detection, only when enabling.
    EXPECT_EQ(CheckStpPortApply(ports, 5, 128, "x", true), kCost);
    EXPECT_EQ(CheckStpPortApply(ports, 5, 128, "0", true),
              "STP port 5 can not both support Spanning Tree and LBD-enabled mode");
    EXPECT_EQ(CheckStpPortApply(ports, 5, 64, "0", false), "");
}

TEST(StpChecks, PortApplyKeepsAnAggregatedLinkTogether) {
    SStpPorts ports;
    ports.lagOfPort = {0, 1, 1, 1, 2, 2, 0, 0};
    ports.priority.assign(8, 128);
    ports.cost.assign(8, 0);
    ports.loopback.assign(8, 2);
    // Changing either value of one member would split the link.
    EXPECT_EQ(CheckStpPortApply(ports, 2, 64, "0", true), kLink);
    EXPECT_EQ(CheckStpPortApply(ports, 3, 128, "500", true), kLink);
    // Unchanged values pass (enable alone), and so do ports outside links.
    EXPECT_EQ(CheckStpPortApply(ports, 2, 128, "0", false), "");
    EXPECT_EQ(CheckStpPortApply(ports, 1, 64, "500", true), "");
    EXPECT_EQ(CheckStpPortApply(ports, 8, 0, "1", true), "");
    // Another link's values do not count.
    ports.priority[4] = 16; // port 5, link 2
    EXPECT_EQ(CheckStpPortApply(ports, 6, 16, "0", true), "");
    EXPECT_EQ(CheckStpPortApply(ports, 2, 16, "0", true), kLink);
    // A member may join what every other member holds; one member apart refuses.
    ports.priority[2] = 32; // port 3
    ports.priority[3] = 32; // port 4
    EXPECT_EQ(CheckStpPortApply(ports, 2, 32, "0", true), "");
    ports.cost[3] = 7;
    EXPECT_EQ(CheckStpPortApply(ports, 2, 32, "0", true), kLink);
    // A link that differs already lets a member be enabled unchanged.
    EXPECT_EQ(CheckStpPortApply(ports, 3, 32, "0", true), "");
}

TEST(StpChecks, IdentifierAndModeTexts) {
    EXPECT_EQ(BridgeIdText(QByteArray::fromHex("8000024e53570001")), "80:00:02:4E:53:57:00:01");
    EXPECT_EQ(BridgeIdText(QByteArray::fromHex("8000")), "80:00"); // short answers are not padded
    EXPECT_EQ(DesignatedPortText(QByteArray::fromHex("800a")), "80 0A");
    EXPECT_EQ(StpPortStateText("1"), "Disabled");
    EXPECT_EQ(StpPortStateText("5"), "Forward");
    EXPECT_EQ(StpPortStateText("6"), "Token");
    EXPECT_EQ(StpPortStateText("7"), "");
    EXPECT_EQ(MulticastModeText("0"), "Forward Unregistered Groups");
    EXPECT_EQ(MulticastModeText("1"), "Filtering Unregistered Groups");
    EXPECT_EQ(MulticastModeText("2"), "Filtering Unregistered Groups");
    EXPECT_EQ(MulticastModeCode(0), 0);
    EXPECT_EQ(MulticastModeCode(1), 1);
}

} // namespace
