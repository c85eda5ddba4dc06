// The PoE switch: threshold ranges by model, the budget, port limits, shut-off
// order by priority, time ranges against a clock set through the control
// subtree, and deleting a range that ports still name.
#include "SimTest.h"

#include <map>

namespace {

class PoeSimTest : public CSimSuite {
protected:
    static QString Port(int column, int port) {
        return Enterprise(QStringLiteral("22.1.1.%1.1.%2").arg(column).arg(port));
    }
    static QString Range(int column, int entry) {
        return Enterprise(QStringLiteral("23.1.1.%1.%2").arg(column).arg(entry));
    }
    static QString Status(int port) { return Get(Port(13, port)).remove(u'"'); }
    // Control subtree of a port: 6 device, 7 draw in mW, 10 class.
    static void Device(int port, bool attached, int milliwatts = 0) {
        ASSERT_TRUE(CtlSet(QStringLiteral("1.1.1.6.%1").arg(port), "i", attached ? "1" : "2"));
        if (attached)
            ASSERT_TRUE(
                CtlSet(QStringLiteral("1.1.1.7.%1").arg(port), "i", QString::number(milliwatts)));
    }
    // Only the given ports have a device (the simulator starts with every third).
    static void OnlyDevices(int poePorts, const std::map<int, int>& milliwatts) {
        for (int p = 1; p <= poePorts; ++p) {
            const auto it = milliwatts.find(p);
            Device(p, it != milliwatts.end(), it != milliwatts.end() ? it->second : 0);
        }
    }
    static void SetClock(const QString& when) { ASSERT_TRUE(CtlSet("2.7.0", "s", when)); }
    // An active range: Monday to Friday unless days say otherwise, no date.
    static void MakeRange(int entry, const QString& name, int startHour, int endHour,
                          const QList<int>& days = {14, 15, 16, 17, 18}) {
        ASSERT_EQ(Set({Range(21, entry), "i", "5"}), "");
        QStringList set = {
            Range(2, entry),  "s", name, Range(7, entry),  "i", QString::number(startHour),
            Range(8, entry),  "i", "0",  Range(12, entry), "i", QString::number(endHour),
            Range(13, entry), "i", "0"};
        for (int day = 14; day <= 20; ++day)
            set << Range(day, entry) << "i" << (days.contains(day) ? "1" : "2");
        set << Range(21, entry) << "i"
            << "1";
        ASSERT_EQ(Set(set), "");
    }
};

TEST_F(PoeSimTest, ThresholdRangeIsTheOneThePageOffersPerModel) {
    const QString threshold = Enterprise("22.2.0");
    struct Case {
        const char* model;
        const char* top;
        const char* above;
    } cases[] = {{"NSW-4410-08P B1", "185.0", "185.1"},
                 {"NSW-4410-28P B1", "185.0", "185.1"},
                 {"NGX-4410-10P B1", "78.0", "78.1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        StartSim({"--model", c.model});
        EXPECT_EQ(Set({threshold, "s", "7.1"}), "");
        EXPECT_EQ(Set({threshold, "s", "7.0"}), "wrongValue");
        EXPECT_EQ(Set({threshold, "s", c.top}), "");
        EXPECT_EQ(Set({threshold, "s", c.above}), "wrongValue");
        EXPECT_EQ(Set({threshold, "s", "50"}), "");
        EXPECT_EQ(Get(threshold), "\"50.0\"") << "read back with one decimal";
        EXPECT_EQ(Set({threshold, "s", "50.25"}), "wrongValue");
        EXPECT_EQ(Set({threshold, "s", "5a"}), "wrongValue");
    }
    // The 08P takes 100.0 (its page offers up to 185.0), but hands out no more
    // than its supply's 65 W.
    StartSim({"--model", "NSW-4410-08P B1"});
    EXPECT_EQ(Set({threshold, "s", "100.0"}), "");
    EXPECT_EQ(Get(Enterprise("22.4.0")), "\"65.0\"");
    OnlyDevices(8, {{1, 30000}, {2, 30000}, {3, 30000}});
    for (int p = 1; p <= 3; ++p)
        ASSERT_EQ(Set({Port(6, p), "i", "5"}), ""); // Class 4: 30 W
    EXPECT_EQ(Status(1), "POWER ON");
    EXPECT_EQ(Status(2), "POWER ON");
    EXPECT_EQ(Status(3), "POWER OFF");
    EXPECT_EQ(Get(Enterprise("22.8.0")), "1");
    EXPECT_EQ(Get(Enterprise("22.6.0")), "\"5.0\"");
}

TEST_F(PoeSimTest, PriorityDecidesWhoLosesPowerFirst) {
    StartSim({"--model", "NSW-4410-28P B1"});
    OnlyDevices(24, {{1, 6000}, {4, 5000}, {6, 2000}});
    ASSERT_EQ(Set({Enterprise("22.2.0"), "s", "10.0"}), "");
    ASSERT_EQ(Set({Port(5, 1), "i", "1", Port(5, 4), "i", "3"}), ""); // 1 Low, 4 High
    // DenyNextPort: in port order, port 4 no longer fits.
    EXPECT_EQ(Status(1), "POWER ON");
    EXPECT_EQ(Status(4), "POWER OFF");
    EXPECT_EQ(Status(6), "POWER ON") << "a smaller device still fits";
    EXPECT_EQ(Get(Enterprise("22.5.0")), "\"8.0\"");
    EXPECT_EQ(Get(Port(9, 4)), "\"0.0\"");
    // DenyLowPriorityPort: the low-priority port gives way.
    ASSERT_EQ(Set({Enterprise("22.3.0"), "i", "2"}), "");
    EXPECT_EQ(Status(1), "POWER OFF");
    EXPECT_EQ(Status(4), "POWER ON");
    EXPECT_EQ(Status(6), "POWER ON");
    EXPECT_EQ(Get(Port(9, 4)), "\"5.0\"");
    EXPECT_EQ(Get(Enterprise("22.8.0")), "1");
    // Enough power again: everybody.
    ASSERT_EQ(Set({Enterprise("22.2.0"), "s", "185.0"}), "");
    EXPECT_EQ(Status(1), "POWER ON");
    EXPECT_EQ(Get(Enterprise("22.8.0")), "2");
    // The supply's budget caps the threshold.
    ASSERT_TRUE(CtlSet("2.6.0", "i", "60"));
    EXPECT_EQ(Status(1), "POWER OFF");
    EXPECT_EQ(Status(4), "POWER ON");
}

TEST_F(PoeSimTest, PortLimitsByClassAndUserDefinition) {
    StartSim({"--model", "NGX-4410-10P B1"});
    OnlyDevices(8, {{2, 10000}});
    ASSERT_TRUE(CtlSet("1.1.1.10.2", "i", "3"));
    EXPECT_EQ(Status(2), "POWER ON") << "Auto: class 3 allows 15.4 W";
    ASSERT_EQ(Set({Port(6, 2), "i", "3"}), ""); // Class 2: 7.0 W
    EXPECT_EQ(Status(2), "OVER LOAD");
    ASSERT_EQ(Set({Port(7, 2), "i", "1", Port(8, 2), "s", "12"}), "");
    EXPECT_EQ(Get(Port(8, 2)), "\"12.0\"");
    EXPECT_EQ(Status(2), "POWER ON") << "the user-defined limit wins over the class";
    ASSERT_EQ(Set({Port(8, 2), "s", "9.8"}), "");
    EXPECT_EQ(Status(2), "OVER LOAD");
    EXPECT_EQ(Set({Port(8, 2), "s", "30.0"}), "");
    EXPECT_EQ(Set({Port(8, 2), "s", "30.2"}), "wrongValue");
    EXPECT_EQ(Set({Port(8, 2), "s", "16.1"}), "wrongValue");
}

TEST_F(PoeSimTest, TimeRangeFollowsTheSettableClock) {
    StartSim({"--model", "NSW-4410-28P B1"});
    SetClock("2026-12-07 09:59:30"); // a Monday
    EXPECT_TRUE(CtlGet("2.7.0").startsWith("\"2026-12-07 09:59")) << CtlGet("2.7.0").toStdString();
    EXPECT_FALSE(CtlSet("2.7.0", "s", "2026-13-07 09:00"));
    MakeRange(1, "office", 8, 10);
    ASSERT_EQ(Set({Port(4, 4), "i", "1"}), "");
    EXPECT_EQ(Status(4), "POWER ON");
    SetClock("2026-12-07 10:00:00");
    EXPECT_EQ(Status(4), "Time-based OFF") << "power goes off at the end time";
    SetClock("2026-12-08 08:00:00");
    EXPECT_EQ(Status(4), "POWER ON") << "Tuesday, at the start time";
    SetClock("2026-12-06 09:00:00");
    EXPECT_EQ(Status(4), "Time-based OFF") << "Sunday is not chosen";
    // A date range that ended yesterday.
    SetClock("2026-12-08 09:00:00");
    ASSERT_EQ(Set({Range(3, 1),  "i", "1", Range(4, 1), "i", "2026", Range(5, 1),  "i", "1",
                   Range(6, 1),  "i", "1", Range(9, 1), "i", "2026", Range(10, 1), "i", "12",
                   Range(11, 1), "i", "7"}),
              "");
    EXPECT_EQ(Status(4), "Time-based OFF");
    SetClock("2026-12-07 09:00:00");
    EXPECT_EQ(Status(4), "POWER ON") << "the to-day counts";
}

TEST_F(PoeSimTest, DeletingARangeThatAPortNamesLeavesTheReference) {
    StartSim({"--model", "NSW-4410-28P B1"});
    SetClock("2026-12-06 12:00:00"); // Sunday: the range is not in force
    MakeRange(2, "weekdays", 8, 18);
    ASSERT_EQ(Set({Port(4, 7), "i", "2"}), "");
    EXPECT_EQ(Status(7), "Time-based OFF");
    EXPECT_EQ(Set({Range(21, 2), "i", "6"}), "");
    EXPECT_TRUE(Get(Range(21, 2)).startsWith("No Such"));
    EXPECT_TRUE(Get(Enterprise("32.1.1.2.2")).startsWith("No Such"));
    EXPECT_EQ(Get(Port(4, 7)), "2") << "the port keeps the number";
    EXPECT_EQ(Status(7), "POWER ON") << "a missing range switches nothing off";
    // A destroy of a row that is not there is no error either (RFC 2579).
    EXPECT_EQ(Set({Range(21, 5), "i", "6"}), "");
}

} // namespace
