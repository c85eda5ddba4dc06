// nsw-sim's port counters: they move with the traffic its control subtree
// sets, the 32-bit ones wrap where the 64-bit ones go on, a port without link
// carries nothing, ifXTable can be hidden, and a reboot starts them again.

#include "SimProcess.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kHcIn = QStringLiteral("1.3.6.1.2.1.31.1.1.1.6.");
const QString kHcOut = QStringLiteral("1.3.6.1.2.1.31.1.1.1.10.");
const QString kIn = QStringLiteral("1.3.6.1.2.1.2.2.1.10.");
const QString kOut = QStringLiteral("1.3.6.1.2.1.2.2.1.16.");
const QString kInErrors = QStringLiteral("1.3.6.1.2.1.2.2.1.14.");
const QString kUpTime = QStringLiteral("1.3.6.1.2.1.1.3.0");
constexpr quint64 k2To32 = quint64{1} << 32;

class SimCounters : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_sim.Start()) << m_sim.Output().toStdString(); }

    // Control 8.1.1.C.P: C 1 rx bytes/s, 2 tx, 3 in errors/s, 4 out errors,
    // 5 in discards, 6 out discards; 7 sets both octet counters.
    bool SetTraffic(int column, int port, const QString& type, quint64 value) const {
        return m_sim.SetControl(QStringLiteral("8.1.1.%1.%2").arg(column).arg(port), type,
                                QString::number(value));
    }
    // Values of one snmpget (one instant on the switch); empty on failure.
    std::vector<quint64> Read(const QStringList& oids, const QString& version = "2c") const {
        QString out;
        const int code = m_sim.Tool(QStringLiteral("snmpget"),
                                    {QStringLiteral("-v"), version, QStringLiteral("-c"),
                                     CSimProcess::kReadCommunity, QStringLiteral("-Oqvt")},
                                    oids, &out);
        std::vector<quint64> values;
        if (code != 0)
            return values;
        for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
            values.push_back(line.trimmed().toULongLong());
        return values;
    }

    CSimProcess m_sim;
};

TEST_F(SimCounters, CountersFollowTheRatesAndWrapConsistently) {
    // Port 5 is linked from the start. Counters stand still at rate 0.
    ASSERT_TRUE(SetTraffic(1, 5, "i", 0));
    ASSERT_TRUE(SetTraffic(2, 5, "i", 0));
    ASSERT_TRUE(SetTraffic(7, 5, "u", k2To32 - 3000));
    auto before = Read({kHcIn + "5", kIn + "5", kHcOut + "5", kOut + "5"});
    ASSERT_EQ(before.size(), 4u);
    EXPECT_EQ(before[0], k2To32 - 3000);
    EXPECT_EQ(before[1], k2To32 - 3000);
    EXPECT_EQ(before[2], k2To32 - 3000);
    EXPECT_EQ(before[3], k2To32 - 3000);

    // 10,000 octets a second in: within a second the 32-bit counter wraps.
    ASSERT_TRUE(SetTraffic(1, 5, "i", 10000));
    ASSERT_TRUE(SetTraffic(3, 5, "i", 50));
    const auto start = Read({kUpTime, kHcIn + "5", kInErrors + "5"});
    QTest::qWait(1200);
    const auto after = Read({kUpTime, kHcIn + "5", kIn + "5", kHcOut + "5", kInErrors + "5"});
    ASSERT_EQ(start.size(), 3u);
    ASSERT_EQ(after.size(), 5u);
    const double seconds = double(after[0] - start[0]) / 100;
    ASSERT_GT(seconds, 1.0);
    EXPECT_NEAR(double(after[1] - start[1]) / seconds, 10000, 300);
    EXPECT_GT(after[1], k2To32);
    // The low half of the 64-bit counter (each is read at its own instant of the request).
    EXPECT_NEAR(double(after[2]), double(after[1] % k2To32), 20);
    EXPECT_EQ(after[3], k2To32 - 3000) << "transmit stayed at rate 0";
    EXPECT_NEAR(double(after[4] - start[2]) / seconds, 50, 3);
}

TEST_F(SimCounters, APortWithoutLinkCarriesNothing) {
    ASSERT_TRUE(SetTraffic(1, 4, "i", 100000));
    QTest::qWait(200);
    const auto linked = Read({kHcIn + "4", kIn + "4"});
    ASSERT_TRUE(
        m_sim.SetControl(QStringLiteral("1.1.1.1.4"), QStringLiteral("i"), QStringLiteral("2")));
    const auto first = Read({kHcIn + "4", kIn + "4"});
    QTest::qWait(300);
    const auto second = Read({kHcIn + "4", kIn + "4"});
    ASSERT_EQ(linked.size(), 2u);
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 2u);
    // The counters stand where the link went down: they never go back.
    EXPECT_GE(linked[0], 20000u);
    EXPECT_GE(first[0], linked[0]);
    EXPECT_GE(first[1], linked[1]);
    EXPECT_EQ(first, second);
    // Linked again, it counts again.
    ASSERT_TRUE(
        m_sim.SetControl(QStringLiteral("1.1.1.1.4"), QStringLiteral("i"), QStringLiteral("1")));
    QTest::qWait(300);
    const auto third = Read({kHcIn + "4"});
    ASSERT_EQ(third.size(), 1u);
    EXPECT_GT(third[0], second[0] + 10000);
}

TEST_F(SimCounters, IfXTableCanBeHidden) {
    ASSERT_EQ(Read({kHcIn + "3"}).size(), 1u);
    ASSERT_TRUE(
        m_sim.SetControl(QStringLiteral("8.2.0"), QStringLiteral("i"), QStringLiteral("2")));
    QString out;
    m_sim.Tool(QStringLiteral("snmpget"),
               {QStringLiteral("-v2c"), QStringLiteral("-c"), CSimProcess::kReadCommunity},
               {kHcIn + "3"}, &out);
    EXPECT_TRUE(out.contains(QStringLiteral("No Such Instance"))) << out.toStdString();
    m_sim.Tool(QStringLiteral("snmpwalk"),
               {QStringLiteral("-v2c"), QStringLiteral("-c"), CSimProcess::kReadCommunity},
               {QStringLiteral("1.3.6.1.2.1.31.1.1")}, &out);
    EXPECT_FALSE(out.contains(QStringLiteral("31.1.1.1"))) << out.toStdString();
    // The 32-bit counters are still there.
    EXPECT_EQ(Read({kIn + "3"}).size(), 1u);
}

TEST_F(SimCounters, RebootStartsCountersAndUpTimeAgain) {
    ASSERT_TRUE(
        m_sim.SetControl(QStringLiteral("2.3.0"), QStringLiteral("i"), QStringLiteral("0")));
    ASSERT_TRUE(SetTraffic(1, 2, "i", 1000));
    QTest::qWait(1500);
    const auto before = Read({kUpTime, kHcIn + "2"});
    ASSERT_EQ(before.size(), 2u);
    ASSERT_GE(before[0], 150u);
    ASSERT_TRUE(m_sim.Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.9.0"), QStringLiteral("i"),
                          QStringLiteral("1")));
    std::vector<quint64> after;
    for (int i = 0; i < 50 && after.size() != 2; ++i) {
        QTest::qWait(100);
        after = Read({kUpTime, kHcIn + "2"});
    }
    ASSERT_EQ(after.size(), 2u);
    EXPECT_LT(after[0], before[0]);
    EXPECT_LT(after[1], before[1]);
    // The traffic set survives: it counts from the new boot.
    EXPECT_NEAR(double(after[1]), double(after[0]) * 10, 100);
}

TEST_F(SimCounters, V1CannotCarryCounter64) {
    QString out, err;
    const int code =
        m_sim.Tool(QStringLiteral("snmpget"),
                   {QStringLiteral("-v1"), QStringLiteral("-c"), CSimProcess::kReadCommunity},
                   {kHcIn + "5"}, &out, &err);
    EXPECT_NE(code, 0) << out.toStdString();
    EXPECT_EQ(Read({kIn + "5"}, QStringLiteral("1")).size(), 1u);
}

} // namespace
