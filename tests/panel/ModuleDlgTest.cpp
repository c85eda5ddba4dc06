// The main window offscreen: initialisation, painting, hover and click, the
// command dispatch and page sequence, the tools and closing.

#include "PanelTestKit.h"

#include "panel/ModuleDlg.h"
#include "panel/ModuleMenu.h"
#include "panel/PageRegistry.h"
#include "panel/PanelReader.h"
#include "panel/PanelView.h"
#include "panel/Tools.h"
#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "snmp/CommonSNMP.h"
#include "snmp/engine/SnmpInit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class ModuleDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        SnmpInit(nullptr);
        ResetLaunchSettings();
        g_strDeviceIp = QStringLiteral("127.0.0.1");
        // Nothing listens here: a request fails, and nothing leaves the machine.
        g_strSnmpPort = QString::number(m_silent.localPort());
        g_strSnmpVersion = QStringLiteral("2");
    }
    void TearDown() override {
        for (int id : PageCommands())
            UnregisterPage(id);
    }

    std::unique_ptr<CModuleDlg> Open(const QString& model, bool polling = false) {
        m_folder = std::make_unique<CModelFolder>(model);
        CModuleDlg::SOptions options;
        options.strProfilePath = m_folder->ProfilePath();
        options.bStartPolling = polling;
        auto dlg = std::make_unique<CModuleDlg>(options);
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }

    // A registered page that notes how it was opened and closes itself.
    struct SPageSeen {
        int opened = 0;
        int port = -1;
        bool pageOpenFlag = false;
        bool minimised = false;
    };
    void RegisterProbe(int id, CModuleDlg& dlg, SPageSeen& seen) {
        RegisterPage(id, [&dlg, &seen](QWidget* parent) {
            ++seen.opened;
            seen.port = PageSelectedPort();
            seen.pageOpenFlag = dlg.PageOpen();
            seen.minimised = dlg.isMinimized();
            auto page = std::make_unique<QDialog>(parent);
            QTimer::singleShot(0, page.get(), &QDialog::accept);
            return page;
        });
    }

    static QPoint Centre(const CPanelObject& object) { return object.Rect().center(); }

    // A bound UDP socket that never answers.
    struct SSilentAgent {
        SSilentAgent() : fd(::socket(AF_INET, SOCK_DGRAM, 0)) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        }
        ~SSilentAgent() { ::close(fd); }
        int localPort() const {
            sockaddr_in address{};
            socklen_t length = sizeof address;
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
            return ntohs(address.sin_port);
        }
        int fd;
    } m_silent;
    std::unique_ptr<CModelFolder> m_folder;
};

SPortRow Up(int port, const char* media = "1") {
    return {port, media, QStringLiteral("1000000000"), "1", "1"};
}

} // namespace

TEST_F(ModuleDlgTest, InitialisationNamesSizesAndTrims) {
    auto dlg = Open("NSW-4410-28 B1");
    EXPECT_EQ(dlg->windowTitle(), "NSW-4410-28 B1: 127.0.0.1");
    EXPECT_EQ(FindCommand(*dlg->MenuBar(), Command::kAbout)->text(), "About NSW-4410-28 B1");
    EXPECT_EQ(dlg->View()->size(), PanelSize(dlg->Panel()));
    EXPECT_EQ(dlg->State().PortObjects().size(), 32u);
    EXPECT_EQ(FindCommand(*dlg->MenuBar(), 32852), nullptr) << "no PoE on this model";
    EXPECT_EQ(FindCommand(*dlg->MenuBar(), 32817), nullptr) << "no jumbo frames on NSW models";
    for (int port = 1; port <= 100; ++port)
        EXPECT_EQ(dlg->State().LampCode(port), 3);
    dlg->show();
    QApplication::processEvents();
    EXPECT_GE(dlg->height(), dlg->View()->height() + dlg->MenuBar()->height());
}

TEST_F(ModuleDlgTest, AProfileWithoutPanelFileStillGivesItsPortCounts) {
    CMessageRecorder boxes;
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("User.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[DeviceInfo]\nDeviceName=NGX-4410-10P B1\nDevicePortNum=10\nComboPortNum=2\n"
               "ComboPortIndex=9\nIsAllGiga=Y\n");
    file.close();
    CModuleDlg::SOptions options;
    options.strProfilePath = file.fileName();
    options.bStartPolling = false;
    CModuleDlg dlg(options);
    EXPECT_FALSE(dlg.OnInitDialog());
    EXPECT_EQ(boxes.Texts(), QStringList({"Read User.ini Error !"}));
    EXPECT_EQ(g_strDeviceName, "NGX-4410-10P B1");
    EXPECT_EQ(g_nPortNum, 10);
    EXPECT_EQ(g_nComboPortNum, 2);
    EXPECT_EQ(g_nComboPortIndex, 9);
    EXPECT_EQ(g_bIsAllGiga, 0) << "read after the panel file's name, so never reached";
    ApplyDeviceProfile(SDeviceProfile{});
}

TEST_F(ModuleDlgTest, ProfileProblems) {
    CMessageRecorder boxes;
    {
        CModuleDlg::SOptions options;
        options.strProfilePath = QStringLiteral("/nonexistent/User.ini");
        options.bStartPolling = false;
        CModuleDlg dlg(options);
        EXPECT_FALSE(dlg.OnInitDialog());
        EXPECT_EQ(boxes.Texts(), QStringList({"Read User.ini Error !"}));
        EXPECT_EQ(dlg.PollingThread(), nullptr);
        EXPECT_NE(FindCommand(*dlg.MenuBar(), 32852), nullptr) << "no trimming without a profile";
    }
    boxes.Clear();
    {
        // A profile whose panel file is missing: an empty panel, no message.
        CModelFolder folder("NGX-4600-20");
        QFile::remove(folder.XmlPath());
        CModuleDlg::SOptions options;
        options.strProfilePath = folder.ProfilePath();
        options.bStartPolling = false;
        CModuleDlg dlg(options);
        EXPECT_TRUE(dlg.OnInitDialog());
        EXPECT_TRUE(boxes.Texts().isEmpty());
        EXPECT_TRUE(dlg.State().PortObjects().empty());
        EXPECT_EQ(dlg.PollingThread()->RunPass(), CPanelDeviceThread::kPauseUnits);
    }
}

TEST_F(ModuleDlgTest, PaintsPortStatesFromTheSharedState) {
    auto dlg = Open("NSW-4410-28P B1");
    auto& state = const_cast<CPanelState&>(dlg->State());
    const CPanelObject* port1 = state.CopperObject(1);
    const QPoint led = port1->Rect().topLeft() + QPoint(4, 3); // the jack's link LED
    const auto pixel = [&](QPoint at) { return dlg->View()->grab().toImage().pixelColor(at); };

    const QColor dark = pixel(led);
    state.ApplyLinkRows({Up(1), {2, "1", "100000000", "1", "1"}});
    dlg->View()->update();
    const QColor lit = pixel(led);
    EXPECT_GT(lit.green(), dark.green() + 60);
    EXPECT_GT(lit.green(), lit.red());
    const QColor amber = pixel(state.CopperObject(2)->Rect().topLeft() + QPoint(4, 3));
    EXPECT_GT(amber.red(), amber.blue() + 60) << "below full speed shows amber";

    // Text is drawn (port numbers and the model name), not blank.
    const QImage image = dlg->View()->grab().toImage();
    int bright = 0;
    for (int x = 10; x < 150; ++x) {
        for (int y = 4; y < 20; ++y)
            bright += image.pixelColor(x, y).lightness() > 180 ? 1 : 0;
    }
    EXPECT_GT(bright, 30);
}

TEST_F(ModuleDlgTest, HoverShowsThePortAndClickOpensPortConfiguration) {
    auto dlg = Open("NGX-4410-10P B1");
    auto& state = const_cast<CPanelState&>(dlg->State());
    state.ApplyLinkRows({Up(5), Up(10, "4")});
    const QString tip = dlg->View()->ToolTipAt(Centre(*state.CopperObject(5)));
    EXPECT_EQ(tip, "Port 5\nLink: up, 1 Gb/s\nMedia: copper\nPoE: unknown");
    EXPECT_TRUE(dlg->View()->ToolTipAt(Centre(*state.FibreObject(10))).startsWith("Port 10\n"));
    EXPECT_TRUE(dlg->View()->ToolTipAt(QPoint(2, 2)).isEmpty());

    // No page yet: a click does nothing.
    QTest::mouseClick(dlg->View(), Qt::LeftButton, {}, Centre(*state.CopperObject(5)));
    SPageSeen seen;
    RegisterProbe(Command::kPortConfiguration, *dlg, seen);
    dlg->show();
    QTest::mouseClick(dlg->View(), Qt::LeftButton, {}, Centre(*state.CopperObject(5)));
    EXPECT_EQ(seen.opened, 1);
    EXPECT_EQ(seen.port, 5);
    EXPECT_TRUE(seen.pageOpenFlag);
    EXPECT_TRUE(seen.minimised);
    EXPECT_FALSE(dlg->PageOpen());
    EXPECT_FALSE(dlg->isMinimized());
    EXPECT_EQ(PageSelectedPort(), 0);
    // From the menu the page opens without a port.
    EXPECT_TRUE(dlg->ExecuteCommand(Command::kPortConfiguration));
    EXPECT_EQ(seen.port, 0);
}

TEST_F(ModuleDlgTest, PageCommandsNeedTheirPageAndWorkWithoutAMenuItem) {
    auto dlg = Open("NSW-4410-28 B1");
    QAction* system = FindCommand(*dlg->MenuBar(), 32805);
    ASSERT_NE(system, nullptr);
    EXPECT_FALSE(system->isEnabled());
    EXPECT_FALSE(dlg->ExecuteCommand(32805));
    SPageSeen seen;
    RegisterProbe(32805, *dlg, seen);
    DeviceManagerMenu(*dlg->MenuBar())->aboutToShow();
    EXPECT_TRUE(system->isEnabled());
    EXPECT_TRUE(dlg->ExecuteCommand(32805));
    EXPECT_EQ(seen.opened, 1);

    // Trimmed away on this model, yet its id still opens it.
    ASSERT_EQ(FindCommand(*dlg->MenuBar(), 32817), nullptr);
    SPageSeen jumbo;
    RegisterProbe(32817, *dlg, jumbo);
    EXPECT_TRUE(dlg->ExecuteCommand(32817));
    EXPECT_EQ(jumbo.opened, 1);
    SPageSeen device;
    RegisterProbe(32775, *dlg, device);
    EXPECT_TRUE(dlg->ExecuteCommand(32775)) << "a command without a menu item";
    EXPECT_EQ(device.opened, 1);
    EXPECT_TRUE(dlg->ExecuteCommand(Command::kDotQVlan));
    EXPECT_FALSE(dlg->ExecuteCommand(12345));
}

TEST_F(ModuleDlgTest, TelnetAndWebStartProgramsWithTheAddressAsItsOwnArgument) {
    auto dlg = Open("NGX-4600-28");
    QTemporaryDir bin;
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    std::vector<SProgram> started;
    const ProgramLauncher previous = SetProgramLauncher([&](const SProgram& program) {
        started.push_back(program);
        return true;
    });
    const auto makeTool = [&](const char* name) {
        QFile tool(bin.filePath(name));
        tool.open(QIODevice::WriteOnly);
        tool.write("#!/bin/sh\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return tool.fileName();
    };

    CMessageRecorder boxes(QMessageBox::Cancel);
    dlg->ExecuteCommand(Command::kTelnet);
    dlg->ExecuteCommand(Command::kWeb);
    EXPECT_EQ(boxes.Texts(), QStringList({"Do you want to TELNET this device?",
                                          "Do you want to access this device with browser?"}));
    EXPECT_TRUE(started.empty()) << "Cancel starts nothing";

    boxes.SetAnswer(QMessageBox::Ok);
    boxes.Clear();
    dlg->ExecuteCommand(Command::kWeb);
    EXPECT_EQ(boxes.Last(), "Failed to get IE path !");
    EXPECT_TRUE(started.empty());

    const QString terminal = makeTool("x-terminal-emulator");
    const QString telnet = makeTool("telnet");
    const QString opener = makeTool("xdg-open");
    dlg->ExecuteCommand(Command::kTelnet);
    dlg->ExecuteCommand(Command::kWeb);
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].program, terminal);
    EXPECT_EQ(started[0].arguments, QStringList({"-e", telnet, "127.0.0.1"}));
    EXPECT_EQ(started[1].program, opener);
    EXPECT_EQ(started[1].arguments, QStringList({"http://127.0.0.1/"}));

    // An empty address starts telnet without one; something that is not an
    // address is never handed over.
    g_strDeviceIp.clear();
    dlg->ExecuteCommand(Command::kTelnet);
    g_strDeviceIp = QStringLiteral("-lroot;reboot");
    dlg->ExecuteCommand(Command::kTelnet);
    ASSERT_EQ(started.size(), 4u);
    EXPECT_EQ(started[2].arguments, QStringList({"-e", telnet}));
    EXPECT_EQ(started[3].arguments, QStringList({"-e", telnet}));

    SetProgramLauncher(previous);
    qputenv("PATH", oldPath);
}

TEST_F(ModuleDlgTest, ClosingStopsPollingAndClosesTheSessionsInOrder) {
    CTraceRecorder traces;
    {
        auto dlg = Open("NSW-4410-52 B1", true);
        ASSERT_TRUE(dlg->PollingThread()->Running());
        // The first pass starts after 500 ms; its request to the silent agent is then in flight.
        QTest::qWait(800);
        dlg->done(QDialog::Accepted);
        EXPECT_FALSE(dlg->PollingThread()->Running());
        EXPECT_FALSE(dlg->BlinkTimerActive());
    }
    QStringList closing;
    for (const QString& line : traces.Lines()) {
        if (line.startsWith("=================="))
            closing << line;
    }
    EXPECT_EQ(closing,
              QStringList({"==================DestroyWindow===============",
                           "==================m_cCommonSNMP.Close===============",
                           "==================m_cCommonSNMPset.Close===============",
                           "==================m_cCommonSNMPFan.Close===============",
                           "==================m_cCommonSNMPPoe.Close===============",
                           "==================m_cCommonSNMPDevStat.Close===============",
                           "==================m_cCommonSNMPPoeStat.Close==============="}));
}

TEST_F(ModuleDlgTest, ActivationBringsBackAMinimisedWindowWithoutEndingIt) {
    auto dlg = Open("NGX-4600-28");
    QTimer::singleShot(0, dlg.get(), [&] {
        dlg->showMinimized();
        dlg->OnActivateRequested();
        EXPECT_FALSE(dlg->isMinimized());
        EXPECT_TRUE(dlg->isVisible());
        QTimer::singleShot(50, dlg.get(), [&] {
            EXPECT_TRUE(dlg->isVisible()) << "still running its exec()";
            dlg->accept();
        });
    });
    EXPECT_EQ(dlg->exec(), QDialog::Accepted);
}
