// The life cycle every page shares: reports reach the page on its thread, in
// order; nothing reaches a closed page; closing during a walk is prompt.

#include "LaunchFixture.h"
#include "SnmpdProcess.h"
#include "pages/mib2/MibPages.h"
#include "platform/ListControl.h"
#include "platform/Trace.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

TEST(NotifyChannel, DeliversInOrderOnTheReceiversThreadUntilShut) {
    QObject receiver;
    std::vector<int> seen;
    bool wrongThread = false;
    auto channel = CNotifyChannel::Create(&receiver, [&](std::vector<SSnmpReport>& batch) {
        wrongThread |= QThread::currentThread() != receiver.thread();
        for (const SSnmpReport& r : batch)
            seen.push_back(r.code);
    });
    std::thread producer([&] {
        for (int i = 0; i < 20000; ++i)
            channel->Post(SSnmpReport{i, {}, {}});
    });
    producer.join();
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), size_t(20000), 10000);
    EXPECT_FALSE(wrongThread);
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(seen[i], i);

    // Posted before Shut but not yet delivered: dropped, as is everything after.
    channel->Post(SSnmpReport{-1, {}, {}});
    channel->Shut();
    channel->Post(SSnmpReport{-2, {}, {}});
    QTest::qWait(50);
    EXPECT_EQ(seen.size(), size_t(20000));
    EXPECT_FALSE(channel->IsOpen());
}

TEST(NotifyChannel, PacesRowsButHandsOverTheEndAtOnce) {
    QObject receiver;
    std::vector<size_t> batches;
    std::vector<SSnmpReport> seen;
    auto channel = CNotifyChannel::Create(&receiver, [&](std::vector<SSnmpReport>& batch) {
        batches.push_back(batch.size());
        for (SSnmpReport& r : batch)
            seen.push_back(std::move(r));
    });
    // The first row after a pause goes at once.
    channel->Post(SSnmpReport{1, {}, {}});
    QCoreApplication::processEvents();
    ASSERT_EQ(seen.size(), size_t(1));

    // Rows that follow within the pace wait for one batch...
    for (int i = 2; i <= 5; ++i)
        channel->Post(SSnmpReport{i, {}, {}});
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), size_t(1));
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), size_t(5), 2000);
    EXPECT_EQ(batches, (std::vector<size_t>{1, 4}));

    // ...but an end marker overtakes the wait and brings them along.
    for (int i = 6; i <= 8; ++i)
        channel->Post(SSnmpReport{i, {}, {}});
    channel->Post(SSnmpReport{9, {}, kFinished});
    QCoreApplication::processEvents();
    ASSERT_EQ(seen.size(), size_t(9));
    EXPECT_EQ(seen.back().marker, kFinished);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(seen[i].code, i + 1);
    // The overtaken timer finds nothing left.
    QTest::qWait(2 * CNotifyChannel::kPaceMs);
    EXPECT_EQ(seen.size(), size_t(9));
    channel->Shut();
}

namespace {

class PageLifeCycle : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_agent = new CSnmpdProcess;
        if (!s_agent->Start())
            GTEST_FAIL() << s_agent->Error().toStdString();
    }
    static void TearDownTestSuite() {
        delete s_agent;
        s_agent = nullptr;
    }
    static CSnmpdProcess* s_agent;
};
CSnmpdProcess* PageLifeCycle::s_agent = nullptr;

} // namespace

TEST_F(PageLifeCycle, EmptyTableGivesOnlyTheEnd) {
    CLaunchFixture launch(s_agent->Port(), "2", CSnmpdProcess::kReadCommunity,
                          CSnmpdProcess::kWriteCommunity);
    QObject receiver;
    std::vector<SSnmpReport> reports;
    auto channel = CNotifyChannel::Create(&receiver, [&](std::vector<SSnmpReport>& batch) {
        for (SSnmpReport& r : batch)
            reports.push_back(std::move(r));
    });
    CCommonSNMP session;
    SWalkSpec walk;
    walk.columns = {QStringLiteral("1.3.6.1.4.1.32473.99.99.1"), QStringLiteral("1.3.6.1.4.1.32473.99.99.2")};
    StartWalk(session, channel, walk);
    QTRY_COMPARE_WITH_TIMEOUT(reports.size(), size_t(1), 10000);
    EXPECT_EQ(reports[0].code, walk.finishedCode);
    EXPECT_EQ(reports[0].marker, QStringLiteral("Finished"));
    QTest::qWait(100);
    EXPECT_EQ(reports.size(), size_t(1));
    channel->Shut();
    session.Close();
}

TEST_F(PageLifeCycle, UnreachableAgentEndsTheLoadAndKeepsTheFields) {
    CLaunchFixture launch(CSnmpdProcess::FreeUdpPort(), "2", "ralvin", "quorbet");
    g_strSnmpTimeout = QStringLiteral("300");
    auto page = MakeUdpServicePage();
    QSignalSpy loaded(page.get(), &CMibTablePage::Loaded);
    page->show();
    ASSERT_TRUE(loaded.wait(10000));
    EXPECT_EQ(page->List()->ItemCount(), 0);
    EXPECT_TRUE(page->Control(241)->isEnabled()); // Refresh comes back

    // A failed aging-time get leaves the field as it was.
    CForwardingTablePage fdb;
    fdb.AgingTime()->setText(QStringLiteral("keep"));
    fdb.LoadAgingTime();
    EXPECT_EQ(fdb.AgingTime()->text(), QStringLiteral("keep"));
}

TEST_F(PageLifeCycle, ClosingWritesTheSessionLinesInOrder) {
    CLaunchFixture launch(s_agent->Port(), "2", CSnmpdProcess::kReadCommunity,
                          CSnmpdProcess::kWriteCommunity);
    CTraceRecorder traces;
    {
        CForwardingTablePage page;
        page.show();
        page.reject();
    }
    EXPECT_EQ(traces.Lines(), (QStringList{
                                  "==================DestroyWindow===============",
                                  "==================m_cCommonSNMP.Close===============",
                                  "==================m_cCommonSNMPGetTime.Close===============",
                              }));
}

TEST_F(PageLifeCycle, EachSessionLineComesBeforeItsSessionCloses) {
    // A user-based walk step waits for a switch that never answers; closing
    // its session cuts the step short, which the step traces. The session's
    // line must already be there.
    // A bound loopback socket nobody reads (plain sockets: Qt's would start
    // its proxy lookup thread, which the thread sanitizer cannot follow).
    const int silent = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(silent, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const auto& user = CSnmpdProcess::kShaUser;
    CLaunchFixture launch(ntohs(address.sin_port), user.name, user.level, user.authCode,
                          user.authPassword, user.privCode, user.privPassword);
    CTraceRecorder traces;
    {
        auto page = MakeUdpServicePage();
        page->show();
        QTest::qWait(100);
        page->reject();
    }
    const QStringList lines = traces.Lines();
    const auto line = lines.indexOf("==================m_cCommonSNMP.Close===============");
    const auto cut = lines.lastIndexOf("getNext end");
    ASSERT_GE(line, 0);
    ASSERT_GE(cut, 0) << lines.join(u'\n').toStdString();
    EXPECT_LT(line, cut);
    ::close(silent);
}

TEST_F(PageLifeCycle, OpenAndCloseDuringWalksTouchesNothingClosed) {
    // Hundreds of pages opened and closed at once while their walks run, on
    // both delivery paths (community-based and user-based). The sanitizer
    // builds catch any callback that reaches a destroyed page.
    const auto& user = CSnmpdProcess::kShaUser;
    for (bool v3 : {false, true}) {
        std::unique_ptr<CLaunchFixture> launch =
            v3 ? std::make_unique<CLaunchFixture>(s_agent->Port(), user.name, user.level,
                                                  user.authCode, user.authPassword, user.privCode,
                                                  user.privPassword)
               : std::make_unique<CLaunchFixture>(s_agent->Port(), "1",
                                                  CSnmpdProcess::kReadCommunity,
                                                  CSnmpdProcess::kWriteCommunity);
        qint64 longestClose = 0;
        for (int i = 0; i < 150; ++i) {
            auto page = i % 2 ? MakeInterfaceTablePage() : MakeTcpServicePage();
            page->show();
            // let a few rows arrive on some cycles, none on others
            for (int k = 0; k < i % 4; ++k)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            QElapsedTimer timer;
            timer.start();
            page->reject();
            page.reset();
            longestClose = std::max(longestClose, timer.elapsed());
            QCoreApplication::processEvents();
        }
        // well under the session time-out + 1000 ms
        EXPECT_LT(longestClose, 4000) << (v3 ? "v3" : "v1");
    }
}
