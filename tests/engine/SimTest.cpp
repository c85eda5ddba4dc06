// The session against nsw-sim, for what snmpd cannot show: a forwarding table
// of 10,000 rows, the simulator's sparse and empty test tables, and refusals.

#include "EngineTestKit.h"
#include "common/SimProcess.h"

#include "device/LaunchSettings.h"
#include "snmp/CommonSNMP.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace {

const int kFdbEntries = 10000;
const QString kFdbPort = QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1.2");
const QString kFdbStatus = QStringLiteral("1.3.6.1.2.1.17.7.1.2.2.1.3");
const QString kSparse = QStringLiteral("1.3.6.1.4.1.32473.99.5.1");
const QString kEmpty = QStringLiteral("1.3.6.1.4.1.32473.99.6.1");
const QString kJumbo = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.12.0");

const CSnmpdProcess::User kSimUser{"nsw-sim-aes",     "3", "3",
                                   "sim-auth-secret", "4", "sim-priv-secret"};
const CSnmpdProcess::User kSimReadOnlyUser{"nsw-sim-ro", "2", "3", "sim-ro-secret", "", ""};

const AccessMode kSimModes[] = {
    {"v1", "1", nullptr},
    {"v2c", "2", nullptr},
    {"v3_sha_aes", "3", &kSimUser},
};

class SimTest : public ::testing::TestWithParam<AccessMode> {
protected:
    static void SetUpTestSuite() {
#if !defined(__SANITIZE_THREAD__)
        s_sim = std::make_unique<CSimProcess>();
        if (!s_sim->Start({"--fdb", QString::number(kFdbEntries), "--v3-user",
                           "nsw-sim-aes:priv:SHA:sim-auth-secret:AES:sim-priv-secret", "--v3-user",
                           "nsw-sim-ro:auth:SHA:sim-ro-secret:ro"}))
            s_strError = s_sim->Output();
#endif
    }
    static void TearDownTestSuite() {
        s_sim.reset();
    }

    void SetUp() override {
#if defined(__SANITIZE_THREAD__)
        // The simulator's fixture starts it with QProcess, which leaves the
        // starting thread's locks out of the sanitizer's sight.
        GTEST_SKIP() << "not under ThreadSanitizer";
#endif
        ASSERT_TRUE(s_strError.isEmpty()) << s_strError.toStdString();
        UseAccess(GetParam(), s_sim->Port());
        g_strReadCommunity = QLatin1String(CSimProcess::kReadCommunity);
        g_strWriteCommunity = QLatin1String(CSimProcess::kWriteCommunity);
    }
    void TearDown() override {
        ResetLaunchSettings();
    }

    static inline std::unique_ptr<CSimProcess> s_sim;
    static inline QString s_strError;
};

std::vector<uint32_t> IndexOf(const QString& suffix) {
    std::vector<uint32_t> index;
    for (const QString& part : suffix.split('.'))
        index.push_back(part.toUInt());
    return index;
}

TEST_P(SimTest, ForwardingTableOfTenThousandRowsComesCompleteAndInOrder) {
    CCommonSNMP ports;
    ASSERT_TRUE(ports.Open(CCommonSNMP::kGet));
    ports.AddVarBind(QStringLiteral("1.3.6.1.2.1.17.1.2.0"), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    ASSERT_EQ(ports.Send(answer), 0);
    const int portCount = answer->valueAt(0).toInt();
    ASSERT_GT(portCount, 0);

    // As the forwarding-table page walks it: status, then port.
    CCommonSNMP walk;
    ASSERT_TRUE(walk.Open(CCommonSNMP::kGetNext));
    walk.AddVarBind(kFdbStatus, SnmpType::kNull);
    walk.AddVarBind(kFdbPort, SnmpType::kNull);
    int rows = 0;
    int learned = 0;
    std::vector<uint32_t> previous;
    while (walk.GetNextSync(answer) == 0) {
        ASSERT_EQ(answer->getValuesCount(), 2u);
        QString suffix, portSuffix;
        ASSERT_EQ(walk.GetSuffix(0, answer.get(), suffix), 0);
        ASSERT_EQ(walk.GetSuffix(1, answer.get(), portSuffix), 0);
        ASSERT_EQ(suffix, portSuffix) << "row " << rows;
        const std::vector<uint32_t> index = IndexOf(suffix);
        ASSERT_EQ(index.size(), 7u) << suffix.toStdString();
        ASSERT_TRUE(previous.empty() || previous < index) << "row " << rows << " out of order";
        previous = index;
        if (index[1] == 0x00 && index[2] == 0x1b && index[3] == 0x21) { // a learned host
            const int i = int(index[4] << 16 | index[5] << 8 | index[6]);
            ASSERT_EQ(answer->valueAt(0), "3") << "row " << rows;
            ASSERT_EQ(answer->valueAt(1), QByteArray::number(i % portCount + 1)) << "row " << rows;
            ++learned;
        } else {
            ASSERT_EQ(answer->valueAt(0), "4") << "the switch's own address";
        }
        ++rows;
    }
    EXPECT_EQ(learned, kFdbEntries);
    EXPECT_EQ(rows, kFdbEntries + 1);
}

TEST_P(SimTest, RefusedSetIsAFailureWithItsStatus) {
    CCommonSNMP set;
    ASSERT_TRUE(set.Open(CCommonSNMP::kSet));
    ASSERT_EQ(set.AddVarBind(kJumbo, SnmpType::kInteger, "7"), 0); // 1 or 2 only
    std::unique_ptr<CSnmp> answer;
    EXPECT_EQ(set.Send(answer), SnmpResult::kErrorStatus);
    ASSERT_TRUE(answer);
    long status = 0;
    unsigned long index = 0;
    answer->getErrorInfo(status, index);
    EXPECT_NE(status, SnmpErrorStatus::kNoError);
    EXPECT_EQ(index, 1u);

    // A read-only object, second in the request.
    ASSERT_TRUE(set.Open(CCommonSNMP::kSet));
    set.AddVarBind(kJumbo, SnmpType::kInteger, "1");
    set.AddVarBind(QStringLiteral("1.3.6.1.2.1.17.1.2.0"), SnmpType::kInteger, "5");
    EXPECT_EQ(set.Send(answer), SnmpResult::kErrorStatus);
    answer->getErrorInfo(status, index);
    EXPECT_EQ(index, 2u);

    // A good value is taken.
    ASSERT_TRUE(set.Open(CCommonSNMP::kSet));
    set.AddVarBind(kJumbo, SnmpType::kInteger, "1");
    EXPECT_EQ(set.Send(answer), 0);
}

TEST_P(SimTest, ReadOnlyUserCannotSet) {
    if (!GetParam().user)
        GTEST_SKIP() << "user-based only";
    UseUser(kSimReadOnlyUser, s_sim->Port());
    CCommonSNMP set;
    ASSERT_TRUE(set.Open(CCommonSNMP::kSet));
    set.AddVarBind(kJumbo, SnmpType::kInteger, "2");
    std::unique_ptr<CSnmp> answer;
    EXPECT_NE(set.Send(answer), 0);
}

// The test tables live in the control subtree: only the control community
// reads them.
class SimTestTableTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        if (IsSkipped() || GetParam().user)
            GTEST_SKIP() << "community-based only";
        g_strReadCommunity = QLatin1String(CSimProcess::kControlCommunity);
    }
};

TEST_P(SimTestTableTest, SparseTableKeepsTheGapInItsRow) {
    std::vector<std::vector<QByteArray>> rows;
    CCommonSNMP walk;
    ASSERT_TRUE(walk.Open(CCommonSNMP::kGetNext));
    for (int column = 1; column <= 3; ++column)
        walk.AddVarBind(kSparse + "." + QString::number(column), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    std::vector<int> emptyCells;
    while (walk.GetNextSync(answer) == 0) {
        QString suffix;
        for (unsigned i = 0; i < 3; ++i) {
            ASSERT_EQ(walk.GetSuffix(int(i), answer.get(), suffix), 0);
            EXPECT_EQ(suffix, QString::number(rows.size() + 1));
            if (answer->typeAt(i) == SnmpType::kNull)
                emptyCells.push_back(int(rows.size() + 1) * 10 + int(i + 1));
        }
        rows.push_back({answer->valueAt(0), answer->valueAt(1), answer->valueAt(2)});
    }
    EXPECT_EQ(rows.size(), 3u);
    EXPECT_EQ(emptyCells, std::vector<int>{22}) << "only row 2, column 2";
}

TEST_P(SimTestTableTest, EmptyTableCallsBackOnceWithTheEnd) {
    CCommonSNMP walk;
    ASSERT_TRUE(walk.Open(CCommonSNMP::kGetNext));
    walk.AddVarBind(kEmpty + ".1", SnmpType::kNull);
    walk.AddVarBind(kEmpty + ".2", SnmpType::kNull);
    std::atomic<int> calls{0};
    std::atomic<int> endStatus{0};
    std::atomic<bool> rowSeen{false};
    ASSERT_EQ(walk.GetNext(
                  [&](std::unique_ptr<CSnmp> answer, int id, void*, int status) {
                      EXPECT_EQ(walk.TakeRequest(id), 1);
                      rowSeen = rowSeen || answer != nullptr;
                      endStatus = status;
                      ++calls;
                      walk.SetDone();
                  },
                  nullptr),
              0);
    QElapsedTimer timer;
    timer.start();
    while (calls == 0 && timer.elapsed() < 10000)
        QThread::msleep(5);
    QThread::msleep(50); // nothing more may come
    EXPECT_EQ(walk.Close(), 0);
    EXPECT_EQ(calls.load(), 1);
    EXPECT_NE(endStatus.load(), 0);
    EXPECT_FALSE(rowSeen);
}

INSTANTIATE_TEST_SUITE_P(Modes, SimTest, ::testing::ValuesIn(kSimModes),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Modes, SimTestTableTest, ::testing::ValuesIn(kSimModes),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
