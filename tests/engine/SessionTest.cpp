// CCommonSNMP's walk contract, with a stand-in page that receives its rows
// the way pages do: the callback hands each row to the page's thread and the
// page closes its session while rows are still coming.

#include "EngineTestKit.h"

#include "platform/Trace.h"
#include "snmp/CommonSNMP.h"
#include "snmp/engine/SnmpInit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>
#include <random>
#include <thread>

namespace {

const QStringList kIfColumns = {"1.3.6.1.2.1.2.2.1.1", "1.3.6.1.2.1.2.2.1.2",
                                "1.3.6.1.2.1.2.2.1.3"};
const QStringList kSysOrColumns = {"1.3.6.1.2.1.1.9.1.2", "1.3.6.1.2.1.1.9.1.3"};

// Counts every entry into a callback, so a test can tell that none came
// after Close.
std::atomic<int> g_nCallbacks{0};

// A page: owns its walk session, receives rows on its own (this) thread.
class CStandInPage : public QObject {
public:
    explicit CStandInPage(QStringList columns) : m_columns(std::move(columns)) {}
    ~CStandInPage() override { m_cCommonSNMP.Close(); }

    bool StartWalk() {
        m_rows.clear();
        m_bFinished = false;
        if (!m_cCommonSNMP.Open(m_nKind))
            return false;
        for (const QString& column : m_columns)
            m_cCommonSNMP.AddVarBind(column, SnmpType::kNull);
        return m_cCommonSNMP.GetNext(&CStandInPage::OnRow, this) == 0;
    }

    // As a page's static row callback.
    static void OnRow(std::unique_ptr<CSnmp> answer, int requestId, void* param, int status) {
        ++g_nCallbacks;
        auto* page = static_cast<CStandInPage*>(param);
        CCommonSNMP& session = page->m_cCommonSNMP;
        if (!session.TakeRequest(requestId))
            return; // stale
        page->m_callbackThreads.fetch_add(QThread::currentThread() == page->thread() ? 1000000 : 1);
        if (status == 0) {
            std::vector<Cell> row = CellsOf(*answer);
            session.Deliver(page, [page, row = std::move(row)] {
                page->m_bOnPageThread &= QThread::currentThread() == page->thread();
                page->m_rows.push_back(row);
            });
            session.GetNext(&CStandInPage::OnRow, page);
        } else {
            session.Deliver(page, [page, status] {
                page->m_nEndStatus = status;
                page->m_bFinished = true;
            });
            session.SetDone();
        }
    }

    bool WaitFinished(int timeoutMs = 20000) {
        QElapsedTimer timer;
        timer.start();
        while (!m_bFinished && timer.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return m_bFinished;
    }

    CCommonSNMP m_cCommonSNMP;
    int m_nKind = CCommonSNMP::kGetNext;
    QStringList m_columns;
    std::vector<std::vector<Cell>> m_rows; // page thread only
    bool m_bFinished = false;
    int m_nEndStatus = 0;
    bool m_bOnPageThread = true;
    std::atomic<int> m_callbackThreads{0}; // +1 off the page thread, +1000000 on it
};

class SessionTest : public CAgentTest, public ::testing::WithParamInterface<AccessMode> {
protected:
    void SetUp() override {
        CAgentTest::SetUp();
        UseAccess(GetParam(), Port());
    }
};

const AccessMode kSessionModes[] = {
    {"v1", "1", nullptr},
    {"v2c", "2", nullptr},
    {"v3_sha_des", "3", &CSnmpdProcess::kDesUser},
};

TEST_P(SessionTest, AsyncWalkDeliversEveryRowOnThePageThread) {
    const std::vector<Cell> expected = WalkSync(kIfColumns);
    ASSERT_FALSE(expected.empty());

    CStandInPage page(kIfColumns);
    ASSERT_TRUE(page.StartWalk());
    ASSERT_TRUE(page.WaitFinished());
    EXPECT_NE(page.m_nEndStatus, 0);
    std::vector<Cell> cells;
    for (const auto& row : page.m_rows) {
        ASSERT_EQ(row.size(), size_t(kIfColumns.size()));
        cells.insert(cells.end(), row.begin(), row.end());
    }
    EXPECT_EQ(cells, expected);
    EXPECT_TRUE(page.m_bOnPageThread);
    EXPECT_EQ(page.m_callbackThreads.load(), int(page.m_rows.size()) + 1)
        << "every callback off the page's thread";
    EXPECT_EQ(page.m_cCommonSNMP.Close(), 0);
    EXPECT_FALSE(page.m_cCommonSNMP.IsBusy());
}

TEST_P(SessionTest, WalkOfAnEmptyTableCallsBackOnceWithTheEnd) {
    const int before = g_nCallbacks;
    CStandInPage page({"1.3.6.1.2.1.1.9.1.99"});
    ASSERT_TRUE(page.StartWalk());
    ASSERT_TRUE(page.WaitFinished());
    EXPECT_TRUE(page.m_rows.empty());
    EXPECT_NE(page.m_nEndStatus, 0);
    EXPECT_EQ(g_nCallbacks - before, 1);
}

TEST_P(SessionTest, GetKindWalkIsOneRowThenTheEnd) {
    // The system page reads its scalars with Open(0) and GetNext.
    CCommonSNMP session;
    ASSERT_TRUE(session.Open(CCommonSNMP::kGet));
    session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.5.0"), SnmpType::kNull);
    session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.6.0"), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    ASSERT_EQ(session.GetNextSync(answer), 0);
    EXPECT_EQ(answer->getValuesCount(), 2u);
    QString suffix = "x";
    EXPECT_EQ(session.GetSuffix(0, answer.get(), suffix), 0);
    EXPECT_TRUE(suffix.isEmpty());
    EXPECT_NE(session.GetNextSync(answer), 0);
}

TEST_P(SessionTest, GetKindAsyncStepIsKeptWhenItsAnswerComesBeforeGetNextReturns) {
    // The caller is held between handing the step over and taking its id,
    // long enough for the get to be sent and answered.
    CCommonSNMP::s_pAfterStepPosted = [] { std::this_thread::sleep_for(std::chrono::milliseconds(300)); };
    CStandInPage page({QStringLiteral("1.3.6.1.2.1.1.5.0"), QStringLiteral("1.3.6.1.2.1.1.6.0")});
    page.m_nKind = CCommonSNMP::kGet;
    const bool started = page.StartWalk();
    CCommonSNMP::s_pAfterStepPosted = nullptr;
    ASSERT_TRUE(started);
    ASSERT_TRUE(page.WaitFinished(5000)) << "the row and the end were dropped as stale";
    ASSERT_EQ(page.m_rows.size(), 1u);
    EXPECT_EQ(page.m_rows[0].size(), 2u);
}

TEST_P(SessionTest, SuffixIsTheRowIndex) {
    CCommonSNMP session;
    ASSERT_TRUE(session.Open(CCommonSNMP::kGetNext));
    for (const char* column : {"1.3.6.1.2.1.7.5.1.1", "1.3.6.1.2.1.7.5.1.2"})
        session.AddVarBind(QLatin1String(column), SnmpType::kNull);
    std::unique_ptr<CSnmp> answer;
    ASSERT_EQ(session.GetNextSync(answer), 0);
    QString suffix;
    ASSERT_EQ(session.GetSuffix(1, answer.get(), suffix), 0);
    // udpLocalAddress.udpLocalPort: the index is the address then the port.
    EXPECT_EQ(suffix, answer->valueAt(0) + "." + answer->valueAt(1));
    EXPECT_NE(session.GetSuffix(2, answer.get(), suffix), 0);
    EXPECT_NE(session.GetSuffix(0, nullptr, suffix), 0);
}

TEST_P(SessionTest, CloseWhileARowWaitsForThePageReturnsAtOnce) {
    // The page's thread is busy (here: in Close) while the first row's
    // callback waits to hand it over: Close must not wait for that hand-over,
    // and the row must never reach the page.
    auto page = std::make_unique<CStandInPage>(kSysOrColumns);
    ASSERT_TRUE(page->StartWalk());
    QThread::msleep(150); // no events: the callback blocks in Deliver
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(page->m_cCommonSNMP.Close(), 0);
    const qint64 closeMs = timer.elapsed();
    EXPECT_LT(closeMs, page->m_cCommonSNMP.TimeoutMs()) << "Close waited out a time-out";
    const int callbacks = g_nCallbacks;
    page.reset();
    QCoreApplication::processEvents(); // a cancelled hand-over must not run
    QThread::msleep(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(g_nCallbacks, callbacks);
}

TEST_P(SessionTest, ReopenDropsTheOldWalk) {
    CStandInPage page(kSysOrColumns);
    ASSERT_TRUE(page.StartWalk());
    QThread::msleep(20);
    // A new walk on another table while the first may still be running.
    page.m_columns = kIfColumns;
    ASSERT_TRUE(page.StartWalk());
    ASSERT_TRUE(page.WaitFinished());
    std::vector<Cell> cells;
    for (const auto& row : page.m_rows)
        cells.insert(cells.end(), row.begin(), row.end());
    // Nothing of the old walk reaches the page after the reopen.
    EXPECT_EQ(cells, WalkSync(kIfColumns));
}

TEST_P(SessionTest, EachStepIdIsPendingOnceAndIdsGrow) {
    CCommonSNMP session;
    ASSERT_TRUE(session.Open(CCommonSNMP::kGetNext));
    session.AddVarBind(QLatin1String("1.3.6.1.2.1.1.9.1.2"), SnmpType::kNull);
    std::mutex mutex;
    std::vector<int> ids;
    int doubleTakes = 0;
    std::atomic<bool> done{false};
    SnmpWalkCallback callback = [&](std::unique_ptr<CSnmp>, int id, void*, int status) {
        const int first = session.TakeRequest(id);
        const int second = session.TakeRequest(id);
        {
            std::lock_guard lock(mutex);
            ids.push_back(first == 1 ? id : -1);
            doubleTakes += second;
        }
        if (status == 0)
            session.GetNext(callback, nullptr);
        else
            done = true;
    };
    ASSERT_EQ(session.GetNext(callback, nullptr), 0);
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 10000)
        QThread::msleep(2);
    ASSERT_TRUE(done);
    EXPECT_EQ(session.Close(), 0);
    std::lock_guard lock(mutex);
    ASSERT_GT(ids.size(), 2u);
    EXPECT_GE(ids.front(), 1);
    EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<>()), ids.end())
        << "ids grow step by step";
    EXPECT_EQ(doubleTakes, 0);
}

// Hundreds of pages that open, walk a little and close at random moments,
// destroyed right after Close as a page is. Run under ThreadSanitizer too.
TEST_P(SessionTest, ManyPagesClosingAtRandomMomentsStaySafe) {
    std::mt19937 random(12345);
    const int cycles = 300;
    int finished = 0;
    for (int i = 0; i < cycles; ++i) {
        auto page = std::make_unique<CStandInPage>(i % 2 ? kIfColumns : kSysOrColumns);
        ASSERT_TRUE(page->StartWalk());
        const int pause = int(random() % 4);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < pause)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        if (i % 5 == 0) { // now and then a reopen in between
            ASSERT_TRUE(page->StartWalk());
        }
        finished += page->m_bFinished;
        ASSERT_EQ(page->m_cCommonSNMP.Close(), 0);
        const int callbacks = g_nCallbacks;
        page.reset();
        QCoreApplication::processEvents();
        ASSERT_EQ(g_nCallbacks, callbacks) << "a callback after Close, cycle " << i;
    }
    RecordProperty("walks finished before their close", finished);
}

INSTANTIATE_TEST_SUITE_P(Modes, SessionTest, ::testing::ValuesIn(kSessionModes),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------ without an agent

class SessionRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLaunchSettings();
        g_strDeviceIp = QStringLiteral("127.0.0.1");
        g_strSnmpPort = QString::number(CSnmpdProcess::FreeUdpPort()); // nobody answers
    }
    void TearDown() override { ResetLaunchSettings(); }
};

TEST_F(SessionRulesTest, NothingBlocksOrRunsAfterAFailedOpen) {
    for (const char* version : {"0", "4", "x"}) {
        g_strSnmpVersion = QLatin1String(version);
        CCommonSNMP session;
        EXPECT_FALSE(session.Open(CCommonSNMP::kGet));
        EXPECT_EQ(session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.5.0"), SnmpType::kNull), -1);
        std::unique_ptr<CSnmp> answer;
        EXPECT_EQ(session.Send(answer), -1);
        EXPECT_EQ(session.GetNextSync(answer), -1);
        EXPECT_EQ(session.GetNext(&CStandInPage::OnRow, nullptr), -1);
        QString suffix;
        EXPECT_EQ(session.GetSuffix(0, nullptr, suffix), -1);
        EXPECT_EQ(session.Close(), 0);
    }
    // Open after a failed Open succeeds.
    g_strSnmpVersion = QStringLiteral("2");
    CCommonSNMP session;
    EXPECT_FALSE(session.Open(2));
    EXPECT_FALSE(session.Open(-1));
    EXPECT_TRUE(session.Open(CCommonSNMP::kGet));
    EXPECT_EQ(session.GetNext(&CStandInPage::OnRow, nullptr), -1) << "no variable yet";
    EXPECT_EQ(session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.5.0"), SnmpType::kNull), 0);
    EXPECT_NE(session.AddVarBind(QStringLiteral("1.3.6.x"), SnmpType::kNull), 0);
    EXPECT_NE(session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.5.0"), SnmpType::kInteger, "12a"),
              0);
    EXPECT_NE(
        session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.5.0"), SnmpType::kIpAddress, "1.2.3"), 0);
    EXPECT_NE(session.AddVarBind(QStringLiteral("1.3.6.1.2.1.1.5.0"), 3, "1"), 0);

    // A bad port makes Open fail too.
    g_strSnmpPort = QStringLiteral("70000");
    CCommonSNMP badPort;
    EXPECT_FALSE(badPort.Open(CCommonSNMP::kGet));
}

TEST_F(SessionRulesTest, CloseCutsAStepInFlightShortForEveryVersion) {
    for (const char* version : {"1", "2", "3"}) {
        SCOPED_TRACE(version);
        g_strSnmpVersion = QLatin1String(version);
        g_strV3UserName = QStringLiteral("nobody");
        CCommonSNMP session;
        ASSERT_TRUE(session.Open(CCommonSNMP::kGetNext));
        session.AddVarBind(QStringLiteral("1.3.6.1.2.1.2.2.1.1"), SnmpType::kNull);
        std::atomic<int> calls{0};
        ASSERT_EQ(
            session.GetNext([&](std::unique_ptr<CSnmp>, int, void*, int) { ++calls; }, nullptr), 0);
        QThread::msleep(50);
        EXPECT_TRUE(session.IsBusy());
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(session.Close(), 0);
        EXPECT_LT(timer.elapsed(), session.TimeoutMs());
        EXPECT_FALSE(session.IsBusy());
        QThread::msleep(50);
        EXPECT_EQ(calls.load(), 0);
        // Closed: no new step starts, a send fails at once.
        EXPECT_EQ(
            session.GetNext([&](std::unique_ptr<CSnmp>, int, void*, int) { ++calls; }, nullptr),
            -1);
        std::unique_ptr<CSnmp> answer;
        timer.restart();
        EXPECT_NE(session.Send(answer), 0);
        EXPECT_LT(timer.elapsed(), 1000);
    }
}

TEST_F(SessionRulesTest, UserBasedStepsTraceAroundTheRequest) {
    g_strSnmpVersion = QStringLiteral("3");
    g_strV3UserName = QStringLiteral("nobody");
    g_strSnmpTimeout = QStringLiteral("200");
    CTraceRecorder traces;
    CCommonSNMP session;
    ASSERT_TRUE(session.Open(CCommonSNMP::kGetNext));
    session.AddVarBind(QStringLiteral("1.3.6.1.2.1.2.2.1.1"), SnmpType::kNull);
    std::atomic<int> status{0};
    std::atomic<bool> done{false};
    ASSERT_EQ(session.GetNext(
                  [&](std::unique_ptr<CSnmp> answer, int id, void*, int result) {
                      EXPECT_EQ(session.TakeRequest(id), 1);
                      EXPECT_EQ(answer, nullptr);
                      status = result;
                      session.SetDone();
                      done = true;
                  },
                  nullptr),
              0);
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 5000)
        QThread::msleep(5);
    ASSERT_TRUE(done);
    EXPECT_EQ(status.load(), SnmpResult::kTimeout);
    EXPECT_EQ(session.Close(), 0);
    EXPECT_EQ(traces.Lines(), (QStringList{"getNext begin", "getNext end"}));
}

TEST_F(SessionRulesTest, DeliverRunsOnTheReceiverThreadUntilClose) {
    g_strSnmpVersion = QStringLiteral("2");
    CCommonSNMP session;
    ASSERT_TRUE(session.Open(CCommonSNMP::kGet));
    QObject receiver;
    bool ran = false;
    EXPECT_TRUE(session.Deliver(&receiver, [&] { ran = true; })) << "same thread: at once";
    EXPECT_TRUE(ran);

    std::atomic<bool> delivered{false};
    std::atomic<bool> result{false};
    std::thread worker([&] {
        result = session.Deliver(&receiver, [&] {
            EXPECT_EQ(QThread::currentThread(), receiver.thread());
            delivered = true;
        });
    });
    QElapsedTimer timer;
    timer.start();
    while (!delivered && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
    EXPECT_TRUE(result);

    session.Close();
    EXPECT_FALSE(session.Deliver(&receiver, [] { ADD_FAILURE() << "ran after Close"; }));
}

} // namespace

// net-snmp's folder is private to the user: owned by them, closed to others,
// and so is the folder it lies in.
TEST(SnmpStateDir, IsPrivateToTheUser) {
    const QString dir = SnmpStateDir();
    ASSERT_FALSE(dir.isEmpty());
    for (const QString& path : {dir, QFileInfo(dir).path()}) {
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
        EXPECT_EQ(st.st_uid, ::getuid()) << path.toStdString();
        EXPECT_EQ(st.st_mode & 077, 0u) << path.toStdString();
    }
}
