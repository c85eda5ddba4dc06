// The module against a switch that fails: it stops in the middle of a walk,
// loses requests, answers late, goes silent or reboots. Pages keep what they
// loaded and say what happened; no page waits longer than its time-outs; the
// main window shows the switch unreachable and recovers by itself.

#include "PageTestKit.h"
#include "device/ModelVariants.h"
#include "pages/mib2/MibPages.h"
#include "panel/ModuleDlg.h"
#include "panel/ModuleMenu.h"
#include "panel/PanelDeviceThread.h"
#include "panel/PanelTestKit.h"
#include "platform/ListControl.h"
#include "snmp/engine/SnmpInit.h"

#include <QRegularExpression>

#include <signal.h>

namespace {

// Fault controls of nsw-sim (control subtree .4).
const QString kDrop = QStringLiteral("4.1.0");
const QString kDelay = QStringLiteral("4.2.0");
const QString kStopAfter = QStringLiteral("4.4.0");
const QString kEndFaults = QStringLiteral("4.6.0");
const QString kReachable = QStringLiteral("2.2.0");
constexpr int kForwardingTable = 32810;
constexpr int kRefresh = 20; // the forwarding table's Refresh

class Faults : public CPageTestKit {
protected:
    void StartSwitch(const QString& version, QStringList args = {}) {
        CPageTestKit::StartSwitch(QStringLiteral("NSW-4410-28P B1"), version, args);
        g_strSnmpTimeout = QString::number(kTimeoutMs);
    }
    void Fault(const QString& control, int value) {
        ASSERT_TRUE(SetControl(control, QStringLiteral("i"), QString::number(value))) << control.toStdString();
    }
    static int Rows(CPageBase& page) { return As<CForwardingTablePage>(page).List()->ItemCount(); }
    QString NoAnswer() const {
        return QStringLiteral("no answer from %1 after %2 s").arg(m_sim.Address()).arg(kTimeoutMs / 1000);
    }

    static constexpr int kTimeoutMs = 1000;
    static constexpr int kHosts = 120; // forwarding table rows
};

} // namespace

TEST_F(Faults, WalkCutInTheMiddleKeepsItsRowsAndSaysSo) {
    for (const char* version : {"1", "2"}) {
        SCOPED_TRACE(version);
        StartSwitch(QLatin1String(version), {QStringLiteral("--fdb"), QString::number(kHosts)});
        auto page = OpenPage(kForwardingTable);
        ASSERT_TRUE(page);
        const int all = Rows(*page);
        ASSERT_GT(all, kHosts) << page->OutcomeLine().toStdString();

        // A few answers into the walk (GETNEXT on v1, GETBULK on v2c) the
        // switch stops.
        Fault(kStopAfter, version[0] == '1' ? 40 : 3);
        ASSERT_TRUE(Press(*page, kRefresh));
        const QRegularExpression cut(QStringLiteral("^Loaded (\\d+) rows.*, then ") +
                                     QRegularExpression::escape(NoAnswer()) + u'$');
        const auto match = cut.match(page->OutcomeLine());
        ASSERT_TRUE(match.hasMatch()) << page->OutcomeLine().toStdString();
        const int loaded = match.captured(1).toInt();
        EXPECT_GT(loaded, 0);
        EXPECT_LT(loaded, all);
        EXPECT_EQ(Rows(*page), loaded) << "the rows so far stay listed";
        EXPECT_TRUE(IsEnabled(*page, kRefresh));

        // The switch comes back: the same page loads the whole table.
        Fault(kEndFaults, 1);
        ASSERT_TRUE(Press(*page, kRefresh));
        EXPECT_TRUE(page->OutcomeLine().startsWith(QStringLiteral("Loaded %1 rows").arg(all)))
            << page->OutcomeLine().toStdString();
        EXPECT_EQ(Rows(*page), all);
        page.reset();
        m_sim.Stop();
    }
}

TEST_F(Faults, LostRequestsAreSentAgainOrTheLineSaysNothingCame) {
    StartSwitch(QStringLiteral("2"), {QStringLiteral("--fdb"), QString::number(kHosts)});
    auto page = OpenPage(kForwardingTable);
    ASSERT_TRUE(page);
    const int all = Rows(*page);
    // Every other request lost: each is sent again within its time-out.
    Fault(kDrop, 50);
    ASSERT_TRUE(Press(*page, kRefresh));
    EXPECT_TRUE(page->OutcomeLine().startsWith(QStringLiteral("Loaded %1 rows").arg(all)))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Rows(*page), all);

    // Everything lost: nothing loaded, and the line says why.
    Fault(kDrop, 100);
    ASSERT_TRUE(Press(*page, kRefresh));
    EXPECT_TRUE(page->OutcomeLine().contains(QStringLiteral("Not loaded: ") + NoAnswer()))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Rows(*page), 0);
}

TEST_F(Faults, LateAnswersLoadWithinTheTimeOutAndTimeOutBeyondIt) {
    StartSwitch(QStringLiteral("2"), {QStringLiteral("--fdb"), QStringLiteral("20")});
    auto page = OpenPage(kForwardingTable);
    ASSERT_TRUE(page);
    const int all = Rows(*page);
    Fault(kDelay, kTimeoutMs / 4);
    ASSERT_TRUE(Press(*page, kRefresh));
    EXPECT_TRUE(page->OutcomeLine().startsWith(QStringLiteral("Loaded %1 rows").arg(all)))
        << page->OutcomeLine().toStdString();

    Fault(kDelay, kTimeoutMs * 3 / 2);
    ASSERT_TRUE(Press(*page, kRefresh));
    EXPECT_TRUE(page->OutcomeLine().contains(QStringLiteral("Not loaded: ") + NoAnswer()))
        << page->OutcomeLine().toStdString();
}

// A page against a switch that never answers: from showing it to its last
// outcome. A page may make one read and one walk before it can know that the
// switch is silent; past that it would only keep asking.
TEST_F(Faults, NoPageWaitsLongerThanItsTimeOutsOnASilentSwitch) {
    StartSwitch(QStringLiteral("2"));
    Fault(kReachable, 2);
    const int boundMs = 2 * kTimeoutMs + 1000;
    // Two pages of each family (the system family's device configuration
    // once read its objects one by one after a time-out).
    const int commands[] = {32813, 32818, 32809, kForwardingTable, 32841, 32844, 32826, 32832,
                            32833, 32866, MenuCommand::kPoePortConfig, MenuCommand::kPoeTimeRange,
                            32849, 32775, 32835, 32836};
    for (int command : commands) {
        std::unique_ptr<QDialog> dialog = CreatePage(command, nullptr);
        auto* page = qobject_cast<CPageBase*>(dialog.get());
        ASSERT_NE(page, nullptr) << command;
        QElapsedTimer clock;
        clock.start();
        page->show();
        ASSERT_TRUE(WaitSettled(*page, 0, 60000)) << command;
        const qint64 waited = clock.elapsed() - 80; // WaitSettled's quiet time
        EXPECT_LE(waited, boundMs) << command << ": " << page->OutcomeLine().toStdString();
        EXPECT_TRUE(page->OutcomeLine().contains(NoAnswer()))
            << command << ": " << page->OutcomeLine().toStdString();
        page->reject();
    }
}

namespace {

// The main window against nsw-sim: passes run from the test, or the window's
// own polling thread.
class PanelFaults : public ::testing::Test {
protected:
    void Start(const QString& version, bool polling, QStringList args = {}) {
        SnmpInit(nullptr);
        args << QStringLiteral("--model") << QStringLiteral("NSW-4410-28 B1");
        ASSERT_TRUE(m_sim.Start(args)) << m_sim.Output().toStdString();
        m_launch = std::make_unique<CLaunchFixture>(m_sim.Port(), version.toLatin1().constData(),
                                                    CSimProcess::kReadCommunity,
                                                    CSimProcess::kWriteCommunity);
        CModuleDlg::SOptions options;
        options.strProfilePath = m_folder.ProfilePath();
        options.bStartPolling = polling;
        m_dlg = std::make_unique<CModuleDlg>(options);
        ASSERT_TRUE(m_dlg->OnInitDialog());
    }
    void Fault(const QString& control, int value) {
        ASSERT_TRUE(m_sim.SetControl(control, QStringLiteral("i"), QString::number(value)));
    }
    void Pass() {
        m_dlg->PollingThread()->RunPass();
        m_dlg->UpdateStatusLine();
    }
    const CPanelState& State() const { return m_dlg->State(); }
    std::vector<int> Lamps() const {
        std::vector<int> lamps;
        for (int port = 1; port <= 28; ++port)
            lamps.push_back(State().LampCode(port));
        return lamps;
    }
    QRegularExpression Silent() const {
        return QRegularExpression(QStringLiteral("^no answer from ") +
                                  QRegularExpression::escape(m_sim.Address()) +
                                  QStringLiteral(" since \\d\\d:\\d\\d:\\d\\d$"));
    }
    QRegularExpression Answered() const {
        return QRegularExpression(u'^' + QRegularExpression::escape(m_sim.Address()) +
                                  QStringLiteral(" answered at \\d\\d:\\d\\d:\\d\\d$"));
    }
    QString Line() const { return m_dlg->StatusLine(); }

    CModelFolder m_folder{QStringLiteral("NSW-4410-28 B1")};
    CSimProcess m_sim;
    std::unique_ptr<CLaunchFixture> m_launch;
    std::unique_ptr<CModuleDlg> m_dlg;
};

std::vector<int> AllDark() {
    return std::vector<int>(28, 3);
}

} // namespace

TEST_F(PanelFaults, LinkWalkCutShortThenSilenceThenBack) {
    Start(QStringLiteral("1"), false);
    Pass();
    const std::vector<int> lit = Lamps();
    ASSERT_NE(lit, AllDark());
    ASSERT_TRUE(Answered().match(Line()).hasMatch()) << Line().toStdString();

    // The reachability get and a few rows of the link walk are answered.
    Fault(kStopAfter, 6);
    Pass();
    EXPECT_EQ(Lamps(), lit) << "a walk cut short changes no lamp";
    Pass();
    EXPECT_FALSE(State().Reachable());
    EXPECT_TRUE(Silent().match(Line()).hasMatch()) << Line().toStdString();
    EXPECT_EQ(Lamps(), AllDark());

    Fault(kEndFaults, 1);
    Pass();
    EXPECT_TRUE(State().Reachable());
    EXPECT_TRUE(Answered().match(Line()).hasMatch()) << Line().toStdString();
    EXPECT_EQ(Lamps(), lit);
}

TEST_F(PanelFaults, RebootIsSilenceThenAFreshSwitch) {
    Start(QStringLiteral("2"), false, {QStringLiteral("--reboot-time"), QStringLiteral("1500")});
    const QString sysName = QStringLiteral("1.3.6.1.2.1.1.5.0");
    const QString upTime = QStringLiteral("1.3.6.1.2.1.1.3.0");
    QTest::qWait(1200);
    Pass();
    const std::vector<int> lit = Lamps();
    const QString before = m_sim.Get(sysName);
    ASSERT_TRUE(m_sim.Set(sysName, QStringLiteral("s"), QStringLiteral("not-saved")));
    CCommonSNMP reader;
    const auto upBefore = ReadObjects(reader, {upTime});
    ASSERT_TRUE(upBefore);

    ASSERT_TRUE(m_sim.Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.1.9.0"), QStringLiteral("i"),
                          QStringLiteral("1")));
    Pass();
    EXPECT_FALSE(State().Reachable()) << "booting";
    EXPECT_TRUE(Silent().match(Line()).hasMatch()) << Line().toStdString();
    EXPECT_EQ(Lamps(), AllDark());

    QTest::qWait(1600);
    Pass();
    EXPECT_TRUE(State().Reachable());
    EXPECT_TRUE(Answered().match(Line()).hasMatch()) << Line().toStdString();
    EXPECT_EQ(Lamps(), lit);
    // A fresh uptime and the saved configuration, not the running one.
    const auto upAfter = ReadObjects(reader, {upTime});
    ASSERT_TRUE(upAfter);
    EXPECT_LT(upAfter->Text(0).toLongLong(), upBefore->Text(0).toLongLong());
    EXPECT_EQ(m_sim.Get(sysName), before);
}

TEST_F(PanelFaults, PollingThreadSeesTheSilenceAndTheReturnWithoutARestart) {
    Start(QStringLiteral("1"), true);
    m_dlg->show();
    // v1 polls every 5 s.
    QTRY_VERIFY_WITH_TIMEOUT(Answered().match(Line()).hasMatch(), 10000);
    Fault(kReachable, 2);
    QTRY_VERIFY_WITH_TIMEOUT(Silent().match(Line()).hasMatch(), 10000);
    EXPECT_EQ(Lamps(), AllDark());
    Fault(kReachable, 1);
    QTRY_VERIFY_WITH_TIMEOUT(Answered().match(Line()).hasMatch(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(Lamps() != AllDark(), 2000);
    m_dlg->done(QDialog::Accepted);
}

TEST(SimFaults, AStopEndsWithItsTimeTheControlOrSigusr1) {
    CSimProcess sim;
    ASSERT_TRUE(sim.Start({QStringLiteral("--stop-after"), QStringLiteral("1"),
                           QStringLiteral("--stop-for"), QStringLiteral("1500")}))
        << sim.Output().toStdString();
    CLaunchFixture launch(sim.Port(), "2", CSimProcess::kReadCommunity,
                          CSimProcess::kWriteCommunity);
    g_strSnmpTimeout = QStringLiteral("300"); // one datagram per request
    const auto answers = [] {
        CCommonSNMP session;
        return ReadObjects(session, {QStringLiteral("1.3.6.1.2.1.1.5.0")}).has_value();
    };
    const auto control = [&](const char* suffix, int value) {
        return sim.SetControl(QLatin1String(suffix), QStringLiteral("i"), QString::number(value));
    };
    EXPECT_TRUE(answers()) << "the one answer before the stop";
    EXPECT_FALSE(answers());
    QTest::qWait(1600);
    EXPECT_TRUE(answers()) << "the stop's time is over";

    // A stop without an end: until the control subtree ends it...
    ASSERT_TRUE(control("4.5.0", 0));
    ASSERT_TRUE(control("4.4.0", 0));
    EXPECT_FALSE(answers());
    QTest::qWait(1600);
    EXPECT_FALSE(answers());
    ASSERT_TRUE(control("4.6.0", 1));
    EXPECT_TRUE(answers());

    // ...or SIGUSR1, which also ends the other faults.
    ASSERT_TRUE(control("4.4.0", 0));
    ASSERT_TRUE(control("4.1.0", 100));
    EXPECT_FALSE(answers());
    ASSERT_EQ(::kill(static_cast<pid_t>(sim.Pid()), SIGUSR1), 0);
    QTRY_VERIFY_WITH_TIMEOUT(answers(), 3000);
    EXPECT_EQ(sim.Get(QStringLiteral("1.3.6.1.4.1.32473.99.4.1.0"),
                      QString::fromLatin1(CSimProcess::kControlCommunity)),
              QStringLiteral("0"));
}
