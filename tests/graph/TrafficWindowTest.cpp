// The port traffic window against nsw-sim: the plotted rates match the
// traffic set on the port (64-bit counters on v2c and v3, 32-bit ones across
// their wrap on v1 and when the switch hides ifXTable), pausing and closing
// stop the requests, and a reboot of the switch leaves a gap, not a spike.

#include "PageTestKit.h"

#include "pages/graph/TrafficWindow.h"
#include "platform/Trace.h"

#include <QPushButton>
#include <QSignalSpy>

namespace {

constexpr int kPort = 5; // linked from the start
constexpr double kRxBps = 10e6;
constexpr double kTxBps = 2e6;
constexpr double kTolerance = 0.03;

class TrafficWindow : public CPageTestKit {
protected:
    // 10 Mb/s in, 2 Mb/s out, 300 input errors and 700 output discards a
    // second (counts enough that a poll's rounding stays small).
    void SetTraffic(int port = kPort) {
        const auto set = [&](int column, qint64 value) {
            ASSERT_TRUE(SetControl(QStringLiteral("8.1.1.%1.%2").arg(column).arg(port),
                                   QStringLiteral("i"), QString::number(value)));
        };
        set(1, qint64(kRxBps / 8));
        set(2, qint64(kTxBps / 8));
        set(3, 300);
        set(6, 700);
    }

    std::unique_ptr<CPortTrafficWnd> Open(int port = kPort, int intervalSeconds = 1) {
        auto window = std::make_unique<CPortTrafficWnd>(port);
        Choose(*window, kIdTrafficInterval, QStringLiteral("%1 s").arg(intervalSeconds));
        window->show();
        return window;
    }

    static int RatePoints(const CPortTrafficWnd& window) {
        int n = 0;
        for (const SRatePoint& point : window.History())
            n += point.rates ? 1 : 0;
        return n;
    }
    // Waits for this many points with rates; false when they did not come.
    static bool WaitForRates(const CPortTrafficWnd& window, int points, int timeoutMs = 15000) {
        QElapsedTimer clock;
        clock.start();
        while (RatePoints(window) < points) {
            if (clock.elapsed() > timeoutMs)
                return false;
            QTest::qWait(20);
        }
        return true;
    }
    static void ExpectNear(double value, double expected, const char* what) {
        EXPECT_NEAR(value, expected, expected * kTolerance) << what;
    }
    static void ExpectConfiguredRates(const SPortRates& r) {
        ExpectNear(r.rxBps, kRxBps, "receive");
        ExpectNear(r.txBps, kTxBps, "transmit");
        ExpectNear(r.inErrors, 300, "input errors");
        ExpectNear(r.outDiscards, 700, "output discards");
        EXPECT_EQ(r.outErrors, 0);
        EXPECT_EQ(r.inDiscards, 0);
    }
    // Every point with rates matches the traffic set: no spike anywhere.
    static void ExpectAllConfigured(const CPortTrafficWnd& window) {
        for (const SRatePoint& point : window.History())
            if (point.rates)
                ExpectConfiguredRates(*point.rates);
    }
};

TEST_F(TrafficWindow, PlotsTheTrafficSetOnThePortFrom64BitCounters) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    SetTraffic();
    auto window = Open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Port 5 traffic"));
    ASSERT_TRUE(WaitForRates(*window, 3)) << window->OutcomeLine().toStdString();
    EXPECT_TRUE(window->WideCounters());
    ExpectAllConfigured(*window);
    // Every rate is drawn, in both charts.
    EXPECT_EQ(window->PlottedPoints(&SPortRates::rxBps), RatePoints(*window));
    EXPECT_EQ(window->PlottedPoints(&SPortRates::outDiscards), RatePoints(*window));
    EXPECT_TRUE(window->OutcomeLine().contains(QStringLiteral("64-bit counters")))
        << window->OutcomeLine().toStdString();
    const QString now = Text(*window, kIdTrafficNow);
    EXPECT_TRUE(now.startsWith(QStringLiteral("Receive ")) &&
                now.count(QStringLiteral("Mbit/s")) == 2)
        << now.toStdString();
    Shot(*window, QStringLiteral("traffic-port5"));
}

TEST_F(TrafficWindow, V3UserSeesTheSameRates) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"), QStringLiteral("3"));
    SetTraffic();
    auto window = Open();
    ASSERT_TRUE(WaitForRates(*window, 2)) << window->OutcomeLine().toStdString();
    EXPECT_TRUE(window->WideCounters());
    ExpectAllConfigured(*window);
}

TEST_F(TrafficWindow, V1Reads32BitCountersAcrossTheirWrap) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"), QStringLiteral("1"));
    SetTraffic();
    // The receive counter passes 2^32 about 2.5 s from now.
    ASSERT_TRUE(SetControl(QStringLiteral("8.1.1.7.%1").arg(kPort), QStringLiteral("u"),
                           QString::number((quint64{1} << 32) - quint64(kRxBps / 8 * 2.5))));
    auto window = Open();
    EXPECT_FALSE(window->WideCounters()) << "v1 carries no Counter64";
    ASSERT_TRUE(WaitForRates(*window, 5)) << window->OutcomeLine().toStdString();
    EXPECT_FALSE(window->WideCounters());
    const quint64 now = Get(QStringLiteral("1.3.6.1.2.1.2.2.1.10.%1").arg(kPort)).toULongLong();
    EXPECT_LT(now, quint64(kRxBps)) << "the counter has wrapped meanwhile";
    ExpectAllConfigured(*window);
    for (const SRatePoint& point : window->History())
        EXPECT_TRUE(point.rates) << "no gap: a wrap is no restart";
    EXPECT_TRUE(window->OutcomeLine().contains(QStringLiteral("32-bit counters")));
}

TEST_F(TrafficWindow, FallsBackTo32BitCountersWhenTheSwitchHidesIfXTable) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(SetControl(QStringLiteral("8.2.0"), QStringLiteral("i"), QStringLiteral("2")));
    SetTraffic();
    auto window = Open();
    QStringList said;
    QObject::connect(window.get(), &CPageBase::OutcomeShown,
                     [&said](const QString& text) { said << text; });
    ASSERT_TRUE(WaitForRates(*window, 2)) << window->OutcomeLine().toStdString();
    EXPECT_FALSE(window->WideCounters());
    ExpectAllConfigured(*window);
    EXPECT_TRUE(said.join(u'\n').contains(QStringLiteral("no 64-bit counters")))
        << said.join(u'\n').toStdString();
}

TEST_F(TrafficWindow, PauseStopsTheRequestsAndResumeStartsAfresh) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    SetTraffic();
    auto window = Open();
    ASSERT_TRUE(WaitForRates(*window, 1));
    Click(*window, kIdTrafficPause);
    EXPECT_TRUE(window->Paused());
    EXPECT_EQ(Text(*window, kIdTrafficPause), QStringLiteral("&Resume"));
    while (window->IsBusy())
        QTest::qWait(10);
    ResetRequests();
    const int sent = window->PollsSent();
    const int points = RatePoints(*window);
    QTest::qWait(3500);
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(window->PollsSent(), sent);
    EXPECT_EQ(RatePoints(*window), points);
    EXPECT_TRUE(window->OutcomeLine().contains(QStringLiteral("Paused")));

    // Resumed: polling goes on, and no rate spans the pause.
    Click(*window, kIdTrafficPause);
    EXPECT_FALSE(window->Paused());
    ASSERT_TRUE(WaitForRates(*window, points + 2));
    EXPECT_GT(Requests(), 0);
    ASSERT_FALSE(window->History()[size_t(points)].rates) << "a gap where the pause was";
    ExpectAllConfigured(*window);
}

TEST_F(TrafficWindow, ClosingStopsPollingAndClosesTheSession) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto window = Open();
    ASSERT_TRUE(WaitForRates(*window, 1));
    CTraceRecorder traces;
    Click(*window, kIdTrafficClose);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(traces.Lines().contains(
        QStringLiteral("==================m_cCommonSNMP.Close===============")))
        << traces.Lines().join(u'\n').toStdString();
    ResetRequests();
    const int sent = window->PollsSent();
    QTest::qWait(2500);
    EXPECT_EQ(Requests(), 0);
    EXPECT_EQ(window->PollsSent(), sent);
}

TEST_F(TrafficWindow, RebootOfTheSwitchLeavesAGapNotASpike) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    ASSERT_TRUE(SetControl(QStringLiteral("2.3.0"), QStringLiteral("i"), QStringLiteral("0")));
    SetTraffic();
    auto window = Open();
    QStringList said;
    QObject::connect(window.get(), &CPageBase::OutcomeShown,
                     [&said](const QString& text) { said << text; });
    ASSERT_TRUE(WaitForRates(*window, 2));
    const int before = RatePoints(*window);
    ASSERT_TRUE(Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.9.0"), QStringLiteral("i"),
                    QStringLiteral("1")));
    ASSERT_TRUE(WaitForRates(*window, before + 2, 20000)) << window->OutcomeLine().toStdString();
    // Rates, one gap at the reboot, rates again; all of them the traffic set.
    const RateHistory& history = window->History();
    const auto gap =
        std::find_if(history.begin(), history.end(), [](const SRatePoint& p) { return !p.rates; });
    ASSERT_NE(gap, history.end());
    EXPECT_GE(gap - history.begin(), before);
    EXPECT_EQ(
        std::count_if(history.begin(), history.end(), [](const SRatePoint& p) { return !p.rates; }),
        1);
    EXPECT_GE(history.end() - gap, 3) << "rates again after the gap";
    ExpectAllConfigured(*window);
    EXPECT_TRUE(said.join(u'\n').contains(QStringLiteral("sysUpTime went back")))
        << said.join(u'\n').toStdString();
    // The gap shows in the chart: the receive line is drawn in two runs.
    EXPECT_EQ(window->PlottedPoints(&SPortRates::rxBps), RatePoints(*window));
    Shot(*window, QStringLiteral("traffic-reboot-gap"));
}

TEST_F(TrafficWindow, NoAnswerIsSaidAndLeavesAGap) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    SetTraffic();
    auto window = Open();
    QStringList said;
    QObject::connect(window.get(), &CPageBase::OutcomeShown,
                     [&said](const QString& text) { said << text; });
    ASSERT_TRUE(WaitForRates(*window, 1));
    // Silent for longer than a request waits (3 s, retries included).
    ASSERT_TRUE(SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("6000")));
    const auto noAnswer = [&said] {
        return said.filter(QStringLiteral("no answer from 127.0.0.1")).value(0);
    };
    QElapsedTimer clock;
    clock.start();
    while (noAnswer().isEmpty() && clock.elapsed() < 10000)
        QTest::qWait(20);
    EXPECT_TRUE(noAnswer().endsWith(QStringLiteral("after 3 s"))) << said.join(u'\n').toStdString();
    const int points = RatePoints(*window);
    ASSERT_TRUE(WaitForRates(*window, points + 1, 15000));
    EXPECT_TRUE(std::any_of(window->History().begin(), window->History().end(),
                            [](const SRatePoint& p) { return !p.rates; }));
    ExpectAllConfigured(*window);
}

} // namespace

namespace {

TEST_F(TrafficWindow, APortTheSwitchLacksIsSaidNotPlotted) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    auto window = Open(40);
    QStringList said;
    QObject::connect(window.get(), &CPageBase::OutcomeShown,
                     [&said](const QString& text) { said << text; });
    QElapsedTimer clock;
    clock.start();
    while (said.filter(QStringLiteral("does not serve the counters of port 40")).isEmpty() &&
           clock.elapsed() < 10000)
        QTest::qWait(20);
    EXPECT_FALSE(window->WideCounters());
    EXPECT_FALSE(said.filter(QStringLiteral("does not serve the counters of port 40")).isEmpty())
        << said.join(u'\n').toStdString();
    EXPECT_EQ(RatePoints(*window), 0);
}

} // namespace
