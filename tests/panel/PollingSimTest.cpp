// Polling against nsw-sim: the physical side is changed through the
// simulator's control subtree and the panel's codes are checked after one
// pass (run directly, without waiting out the intervals).

#include "PanelTestKit.h"

#include "QtPrint.h"
#include "SimProcess.h"
#include "panel/ModuleDlg.h"
#include "panel/ModuleMenu.h"
#include "panel/PanelDeviceThread.h"
#include "panel/PanelPainter.h"
#include "snmp/CommonSNMP.h"
#include "panel/PanelView.h"
#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "snmp/engine/SnmpInit.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

// Control subtree columns of a port (1.1.1.C.P).
QString PortControl(int column, int port) {
    return QStringLiteral("1.1.1.%1.%2").arg(column).arg(port);
}
enum {
    kLink = 1,
    kSpeed = 2,
    kMedia = 4,
    kAdmin = 5,
    kPoeDevice = 6,
    kPoeTimeOff = 11,
    kPoeFault = 12
};

class PollingSimTest : public ::testing::Test {
protected:
    void Start(const QString& model, const QString& version = QStringLiteral("2"),
               QStringList simArgs = {}) {
        SnmpInit(nullptr);
        simArgs << QStringLiteral("--model") << model;
        ASSERT_TRUE(m_sim.Start(simArgs)) << m_sim.Output().toStdString();
        ResetLaunchSettings();
        g_strDeviceIp = QString::fromLatin1(CSimProcess::kHost);
        g_strSnmpPort = QString::number(m_sim.Port());
        g_strSnmpVersion = version;
        m_folder = std::make_unique<CModelFolder>(model);
        CModuleDlg::SOptions options;
        options.strProfilePath = m_folder->ProfilePath();
        options.bStartPolling = false;
        m_dlg = std::make_unique<CModuleDlg>(options);
        ASSERT_TRUE(m_dlg->OnInitDialog());
    }
    void Control(const QString& suffix, int value) {
        ASSERT_TRUE(m_sim.SetControl(suffix, QStringLiteral("i"), QString::number(value)))
            << suffix.toStdString();
    }
    int Pass() { return m_dlg->PollingThread()->RunPass(); }
    const CPanelState& State() const { return m_dlg->State(); }
    int Copper(int port) const { return State().CopperObject(port)->Status(); }
    int Fibre(int port) const { return State().FibreObject(port)->Status(); }

    CSimProcess m_sim;
    std::unique_ptr<CModelFolder> m_folder;
    std::unique_ptr<CModuleDlg> m_dlg;
};

} // namespace

TEST_F(PollingSimTest, LinkStatesFollowTheSwitch) {
    Start(QStringLiteral("NSW-4410-28 B1"));
    Control(PortControl(kLink, 1), 1);
    Control(PortControl(kLink, 2), 1);
    Control(PortControl(kSpeed, 2), 100);
    Control(PortControl(kLink, 3), 2);
    Control(PortControl(kAdmin, 4), 2);
    Control(PortControl(kMedia, 25), 4);
    Control(PortControl(kLink, 25), 1);
    Control(PortControl(kMedia, 26), 2);
    Control(PortControl(kLink, 26), 1);
    CTraceRecorder traces;
    EXPECT_EQ(Pass(), CPanelDeviceThread::kPauseUnits);
    EXPECT_TRUE(traces.Lines().contains("RefreshPortStatus RefreshPortStatus"));
    EXPECT_TRUE(State().Reachable());
    EXPECT_EQ(State().LampCode(1), 1);
    EXPECT_EQ(State().LampCode(2), 0) << "100 Mb/s on a gigabit port";
    EXPECT_EQ(State().LampCode(3), 3);
    EXPECT_EQ(State().LampCode(4), 2);
    EXPECT_EQ(Copper(1), 1);
    EXPECT_EQ(Copper(4), 2);
    // Port 25 links over fibre: its SFP lights, its copper half is dark.
    EXPECT_EQ(State().LampCode(25), 1);
    EXPECT_EQ(Fibre(25), 1);
    EXPECT_EQ(Copper(25), 3);
    // Port 26 links over copper: the SFP keeps its start state.
    EXPECT_EQ(Copper(26), 1);
    EXPECT_EQ(Fibre(26), PortCode::kEmpty);

    Control(PortControl(kLink, 1), 2);
    Control(PortControl(kAdmin, 4), 1);
    Control(PortControl(kLink, 4), 1);
    Pass();
    EXPECT_EQ(State().LampCode(1), 3);
    EXPECT_EQ(Copper(1), 3);
    EXPECT_EQ(State().LampCode(4), 1);
}

TEST_F(PollingSimTest, UnreachableSwitchResetsEveryPortAndComesBack) {
    Start(QStringLiteral("NGX-4600-20"));
    for (int port = 17; port <= 20; ++port) {
        Control(PortControl(kMedia, port), 4);
        Control(PortControl(kLink, port), 1);
    }
    Pass();
    ASSERT_EQ(Fibre(20), 1) << "the last fibre object is lit";
    ASSERT_EQ(Copper(1), 1);

    Control(QStringLiteral("2.2.0"), 2);
    EXPECT_EQ(Pass(), CPanelDeviceThread::kPauseUnits);
    EXPECT_FALSE(State().Reachable());
    for (CPanelObject* port : State().PortObjects())
        EXPECT_EQ(port->Status(), port->InitialStatus());
    EXPECT_EQ(Fibre(20), PortCode::kEmpty);
    for (int port = 1; port <= 20; ++port)
        EXPECT_EQ(State().LampCode(port), 3);

    Control(QStringLiteral("2.2.0"), 1);
    Pass();
    EXPECT_TRUE(State().Reachable());
    EXPECT_EQ(Fibre(20), 1);
}

TEST_F(PollingSimTest, PoeModelShowsPoeBesideTheLinks) {
    Start(QStringLiteral("NSW-4410-28P B1"));
    Control(PortControl(kLink, 1), 1);
    Control(PortControl(kPoeDevice, 1), 1);
    Control(PortControl(kPoeDevice, 2), 1);
    Control(PortControl(kPoeTimeOff, 2), 1);
    Control(PortControl(kPoeDevice, 3), 1);
    Control(PortControl(kPoeFault, 3), 2);
    Control(PortControl(kPoeDevice, 4), 2);
    CTraceRecorder traces;
    EXPECT_EQ(Pass(), CPanelDeviceThread::kPauseUnits);
    EXPECT_TRUE(traces.Lines().contains("Get10PPOEOrLinkStatus"));
    EXPECT_TRUE(traces.Lines().contains("pThis->m_BIsPowMax = FALSE"));
    EXPECT_EQ(State().PoeCodeOf(1), PoeCode::kOn);
    EXPECT_EQ(State().PoeCodeOf(2), PoeCode::kOff) << "Time-based OFF";
    EXPECT_EQ(State().PoeCodeOf(3), PoeCode::kOther) << "OVER LOAD";
    EXPECT_EQ(State().PoeCodeOf(4), PoeCode::kOff);
    EXPECT_EQ(State().PoeCodeOf(25), PoeCode::kNone);
    EXPECT_EQ(State().LampCode(1), 1) << "the link state is not overwritten by PoE";
    EXPECT_FALSE(State().PowMax());

    // A threshold too low for every device: the switch refuses one.
    ASSERT_TRUE(m_sim.Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.2.0"), "s", "7.1"));
    Pass();
    EXPECT_TRUE(State().PowMax());
}

TEST_F(PollingSimTest, FanOfAFanModelOnSnmpV1) {
    Start(QStringLiteral("NSW-4410-52 B1"), QStringLiteral("1"));
    EXPECT_EQ(m_dlg->PollingThread()->IntervalUnitMs(), 500);
    CTraceRecorder traces;
    Pass();
    EXPECT_EQ(State().FanText(), "1");
    EXPECT_TRUE(traces.Lines().contains("======GetGetFanStatus======"));
    Control(QStringLiteral("2.1.0"), 2);
    Pass();
    EXPECT_EQ(State().FanText(), "2");
    EXPECT_TRUE(State().Polled()) << "the link walk runs on fan models too";
    EXPECT_EQ(State().LampCode(1), 1);
}

TEST_F(PollingSimTest, SaveAndRebootUseTheRealResultOfTheSet) {
    QTemporaryDir dir;
    Start(QStringLiteral("NGX-4410-10P B1"), QStringLiteral("2"),
          {QStringLiteral("--state"), dir.filePath(QStringLiteral("switch.cfg")),
           QStringLiteral("--reboot-time"), QStringLiteral("4000")});
    CMessageRecorder boxes(QMessageBox::Ok);
    m_dlg->ExecuteCommand(Command::kSaveConfiguration);
    EXPECT_EQ(boxes.Texts(),
              QStringList({"Do you want to save the configuration?", "  Success!  "}));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("switch.cfg"))));

    // The state file cannot be written any more: the switch refuses the save.
    boxes.Clear();
    QFile::remove(dir.filePath(QStringLiteral("switch.cfg")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("switch.cfg")));
    m_dlg->ExecuteCommand(Command::kSaveConfiguration);
    EXPECT_EQ(boxes.Last(), "  Failed!  ");

    boxes.Clear();
    boxes.SetAnswer(QMessageBox::Cancel);
    m_dlg->ExecuteCommand(Command::kReboot);
    Pass();
    EXPECT_TRUE(State().Reachable()) << "Cancel reboots nothing";
    boxes.SetAnswer(QMessageBox::Ok);
    m_dlg->ExecuteCommand(Command::kReboot);
    EXPECT_EQ(boxes.Last(), "Do you want to reboot the device?");
    EXPECT_FALSE(m_dlg->PageOpen());
    Pass();
    EXPECT_FALSE(State().Reachable()) << "the switch is rebooting";
}

// The polling thread writes while the window paints and reads tool tips; run
// under ThreadSanitizer this shows the shared state is race-free.
TEST_F(PollingSimTest, WindowPaintsWhileThePollingThreadRuns) {
    SnmpInit(nullptr);
    ASSERT_TRUE(m_sim.Start({QStringLiteral("--model"), QStringLiteral("NGX-4410-10P B1")}));
    ResetLaunchSettings();
    g_strDeviceIp = QString::fromLatin1(CSimProcess::kHost);
    g_strSnmpPort = QString::number(m_sim.Port());
    g_strSnmpVersion = QStringLiteral("2");
    m_folder = std::make_unique<CModelFolder>(QStringLiteral("NGX-4410-10P B1"));
    CModuleDlg::SOptions options;
    options.strProfilePath = m_folder->ProfilePath();
    m_dlg = std::make_unique<CModuleDlg>(options);
    ASSERT_TRUE(m_dlg->OnInitDialog());
    m_dlg->show();
    const QPoint led = State().CopperObject(1)->Rect().topLeft() + QPoint(4, 3);
    const QColor dark = m_dlg->View()->grab().toImage().pixelColor(led);
    QElapsedTimer timer;
    timer.start();
    while (State().Passes() == 0 && timer.elapsed() < 10000) {
        m_dlg->View()->repaint();
        m_dlg->View()->ToolTipAt(State().CopperObject(1)->Rect().center());
        QApplication::processEvents();
    }
    ASSERT_GT(State().Passes(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_dlg->BlinkTimerActive(), 5000);
    EXPECT_EQ(State().LampCode(1), 1) << "port 1 is cabled at start";
    // Past its blinking, the port shows its link LED.
    QTest::qWait(CPanelPainter::kBlinkTicks * 200 + 400);
    const QColor lit = m_dlg->View()->grab().toImage().pixelColor(led);
    EXPECT_GT(lit.green(), dark.green() + 60);
    m_dlg->done(QDialog::Accepted);
    EXPECT_FALSE(m_dlg->PollingThread()->Running());
}

TEST_F(PollingSimTest, PoeLampsFollowTheSwitchWhenItsBudgetDoesNotAnswer) {
    Start(QStringLiteral("NSW-4410-28P B1"));
    Control(PortControl(kPoeDevice, 1), 1);
    EXPECT_EQ(State().PoeCodeOf(1), PoeCode::kUnknown);
    EXPECT_TRUE(PortToolTip(State(), 1).contains("PoE: unknown"));
    // A switch without the budget objects: no budget session answers.
    CCommonSNMP reach, stat, dev;
    SPollSessions sessions;
    sessions.pReach = &reach;
    sessions.pDevStat = &dev;
    sessions.pPoeStat = &stat;
    SPollConfig config;
    config.strSnmpVersion = QStringLiteral("2");
    config.nPoePorts = 24;
    CPanelState state;
    CPanelState::SLayout layout;
    layout.nPortNum = 28;
    layout.nPoePorts = 24;
    state.Attach(layout, {});
    std::atomic<int32_t> pageOpen{0};
    CPanelDeviceThread thread(state, sessions, pageOpen, config);
    EXPECT_EQ(thread.RunPass(), CPanelDeviceThread::kShortPauseUnits);
    EXPECT_EQ(state.PoeCodeOf(1), PoeCode::kOn);
    EXPECT_EQ(state.PoeCodeOf(2), PoeCode::kOff);
    EXPECT_FALSE(state.PowMax());
}

TEST_F(PollingSimTest, TheStatusLineTellsTheLastAnswerAndTheSilence) {
    Start(QStringLiteral("NSW-4410-28 B1"));
    const QString peer = m_sim.Address();
    m_dlg->UpdateStatusLine();
    EXPECT_EQ(m_dlg->StatusLine(), QStringLiteral("waiting for %1 to answer").arg(peer));
    Pass();
    m_dlg->UpdateStatusLine();
    EXPECT_TRUE(m_dlg->StatusLine().startsWith(peer + " answered at ")) << m_dlg->StatusLine();
    Control(QStringLiteral("2.2.0"), 2); // unreachable
    Pass();
    m_dlg->UpdateStatusLine();
    const QString silent = m_dlg->StatusLine();
    EXPECT_TRUE(silent.startsWith(QStringLiteral("no answer from %1 since ").arg(peer))) << silent;
    Pass();
    m_dlg->UpdateStatusLine();
    EXPECT_EQ(m_dlg->StatusLine(), silent) << "the silence keeps its start";
    EXPECT_EQ(State().LampCode(1), 3) << "the lamps reset as before";
    Control(QStringLiteral("2.2.0"), 1);
    Pass();
    m_dlg->UpdateStatusLine();
    EXPECT_TRUE(m_dlg->StatusLine().startsWith(peer + " answered at ")) << m_dlg->StatusLine();
}
