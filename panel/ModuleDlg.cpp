#include "ModuleDlg.h"

#include "device/LaunchSettings.h"
#include "device/ModelVariants.h"
#include "panel/AboutDlg.h"
#include "panel/ModuleMenu.h"
#include "panel/PageRegistry.h"
#include "panel/PanelArt.h"
#include "panel/PanelReader.h"
#include "panel/PanelView.h"
#include "panel/PortWindows.h"
#include "panel/Tools.h"
#include "platform/MessageBox.h"
#include "platform/Trace.h"
#include "snmp/CommonSNMP.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include <cstdio>
#include <utility>

namespace {
constexpr int kBlinkTimerId = 2052;
constexpr int kBlinkMs = 200;
constexpr char kSaveOid[] = "1.3.6.1.4.1.32473.10.75.7.1.10.0";
constexpr char kRebootOid[] = "1.3.6.1.4.1.32473.10.75.7.1.9.0";
constexpr unsigned long kSaveTimeoutMs = 5000;
} // namespace

CModuleDlg::CModuleDlg(QWidget* parent) : CModuleDlg(SOptions{}, parent) {}

CModuleDlg::CModuleDlg(SOptions options, QWidget* parent)
    : QDialog(parent), m_options(std::move(options)),
      m_cCommonSNMP(std::make_unique<CCommonSNMP>()),
      m_cCommonSNMPset(std::make_unique<CCommonSNMP>()),
      m_cCommonSNMPFan(std::make_unique<CCommonSNMP>()),
      m_cCommonSNMPPoe(std::make_unique<CCommonSNMP>()),
      m_cCommonSNMPDevStat(std::make_unique<CCommonSNMP>()),
      m_cCommonSNMPPoeStat(std::make_unique<CCommonSNMP>()) {
    setWindowTitle(QStringLiteral("TarvikModule"));
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowIcon(ModuleIcon());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_pMenuBar = new QMenuBar(this);
    layout->setMenuBar(m_pMenuBar);
    m_pView = new CPanelView(this);
    m_pView->setFixedSize(480, 100);
    layout->addWidget(m_pView);
    m_pStatusLine = new QLabel(this);
    m_pStatusLine->setObjectName(QStringLiteral("statusLine"));
    m_pStatusLine->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(m_pStatusLine);
    m_statusTimer.setInterval(1000);
    connect(&m_statusTimer, &QTimer::timeout, this, &CModuleDlg::UpdateStatusLine);

    BuildModuleMenu(*m_pMenuBar, [this](int id) { ExecuteCommand(id); });
    for (QAction* top : m_pMenuBar->actions()) {
        if (QMenu* menu = top->menu())
            connect(menu, &QMenu::aboutToShow, this, &CModuleDlg::UpdateCommandStates);
    }
    UpdateCommandStates();

    m_blinkTimer.setInterval(kBlinkMs);
    m_blinkTimer.setObjectName(QString::number(kBlinkTimerId));
    connect(&m_blinkTimer, &QTimer::timeout, this, &CModuleDlg::OnBlinkTimer);
    connect(m_pView, &CPanelView::PortClicked, this, &CModuleDlg::OnPortClicked);
    connect(m_pView, &CPanelView::PortTrafficRequested, this, &CModuleDlg::OpenPortTraffic);
    // The demo's hook: a picture of the first polled panel, then close; at the
    // latest after 20 s, so that a switch that never answers cannot hold it.
    m_strScreenshot = qEnvironmentVariable("NSW_SCREENSHOT");
    if (!m_strScreenshot.isEmpty())
        QTimer::singleShot(20000, this, [this] { MaybeTakeScreenshot(); });
}

CModuleDlg::~CModuleDlg() {
    CloseTrafficWindows();
    StopPolling();
    CloseSessions();
    // Pixmaps must not outlive the application object, which ends right after the window.
    PanelBitmaps().Clear();
}

int CModuleDlg::exec() {
    if (!m_bInitialised)
        OnInitDialog();
    return QDialog::exec();
}

void CModuleDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialised)
        OnInitDialog();
    QDialog::showEvent(event);
}

bool CModuleDlg::OnInitDialog() {
    if (m_bInitialised)
        return m_bProfileOk;
    m_bInitialised = true;

    // What was read before a missing key counts, as it does for the pages
    // (a 10-port profile without its panel file still has 10 ports).
    const QString error = ReadDeviceProfile(m_options.strProfilePath, m_profile);
    ApplyDeviceProfile(m_profile);
    if (!error.isEmpty()) {
        ShowMessage(error, this);
        return false;
    }

    const QString panelFile =
        ResolvePanelFile(m_profile.strXmlName, QFileInfo(m_options.strProfilePath).absolutePath());
    LoadPanelDescription(panelFile, m_root, m_modules);
    const QSize size = PanelSize(m_root);
    m_pView->setFixedSize(size.isEmpty() ? QSize(480, 100) : size);

    for (int id : PanelBitmapIds())
        PanelBitmaps().Load(id);

    setWindowTitle(m_profile.strDeviceName + QStringLiteral(": ") + g_strDeviceIp);
    if (QAction* about = FindCommand(*m_pMenuBar, Command::kAbout))
        about->setText(QStringLiteral("About ") + m_profile.strDeviceName);

    std::vector<CPanelObject*> ports;
    for (CPanelObject* object : m_root.Descendants()) {
        if (object->IsA("CPort"))
            ports.push_back(object);
    }
    CPanelState::SLayout layout;
    layout.nPortNum = g_nPortNum;
    layout.nComboPortNum = g_nComboPortNum;
    layout.nComboPortIndex = g_nComboPortIndex;
    layout.nPoePorts = PoePortCount(m_profile.strDeviceName);
    layout.bAllGiga = g_bIsAllGiga != 0;
    m_state.Attach(layout, std::move(ports));
    m_pPainter =
        std::make_unique<CPanelPainter>(m_root, m_state, PanelBitmaps(), m_profile.strDeviceName);
    m_pView->Bind(&m_root, &m_state, m_pPainter.get());

    SPollConfig config;
    config.strSnmpVersion = g_strSnmpVersion;
    config.bHasFan = g_bIsHasFan != 0;
    config.nPoePorts = layout.nPoePorts;
    SPollSessions sessions{m_cCommonSNMP.get(), m_cCommonSNMPFan.get(), m_cCommonSNMPDevStat.get(),
                           m_cCommonSNMPPoe.get(), m_cCommonSNMPPoeStat.get()};
    m_pThread = std::make_unique<CPanelDeviceThread>(m_state, sessions, m_nPageOpen, config);
    if (m_options.bStartPolling)
        StartPollingThread();

    TrimMenuForModel(*m_pMenuBar, m_profile.strDeviceName);
    UpdateStatusLine();
    m_statusTimer.start();
    m_bProfileOk = true;
    return true;
}

void CModuleDlg::StartPollingThread() {
    m_pThread->Start([this] {
        // Runs on the polling thread: only a queued call reaches the window.
        QMetaObject::invokeMethod(
            this, [this] { OnPollPass(); }, Qt::QueuedConnection);
    });
}

void CModuleDlg::OnPollPass() {
    if (m_state.Polled() && !m_blinkTimer.isActive())
        m_blinkTimer.start();
    UpdateStatusLine();
    m_pView->update();
    if (!m_strScreenshot.isEmpty())
        QTimer::singleShot(kBlinkMs * 2, this, [this] { MaybeTakeScreenshot(); });
}

void CModuleDlg::MaybeTakeScreenshot() {
    if (m_strScreenshot.isEmpty())
        return;
    const QString path = std::exchange(m_strScreenshot, QString());
    m_bBlinkPhase = false;
    m_pView->SetBlinkPhase(false);
    const bool saved = grab().save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "screenshot written to" : "could not write",
                 qPrintable(path));
    close();
}

QString CModuleDlg::StatusLine() const { return m_pStatusLine->text(); }

void CModuleDlg::UpdateStatusLine() {
    QString peer = g_strDeviceIp;
    if (g_strSnmpPort.trimmed() != u"161")
        peer += u':' + g_strSnmpPort.trimmed();
    m_pStatusLine->setText(PollStatusText(peer, m_state.LastAnswerMs(), m_state.SilentSinceMs(),
                                          m_state.AnsweredUnusably()));
}

void CModuleDlg::OnBlinkTimer() {
    if (m_pPainter)
        m_pPainter->Tick();
    m_bBlinkPhase = !m_bBlinkPhase;
    m_pView->SetBlinkPhase(m_bBlinkPhase);
    m_pView->repaint();
}

void CModuleDlg::UpdateCommandStates() {
    for (int id : PageCommands()) {
        if (QAction* action = FindCommand(*m_pMenuBar, id))
            action->setEnabled(IsPageRegistered(id));
    }
    m_pView->SetPortsClickable(IsPageRegistered(Command::kPortConfiguration));
    m_pView->SetTrafficAvailable(IsPortTrafficWindowRegistered());
}

void CModuleDlg::RunAsPage(const std::function<void()>& body) {
    // Hiding a running QDialog would end its exec(); minimising stands in
    // for the hide-and-minimise of the page sequence.
    m_nPageOpen.store(1);
    showMinimized();
    body();
    m_nPageOpen.store(0);
    showNormal();
    raise();
}

void CModuleDlg::OpenPage(int id) {
    RunAsPage([id] {
        // No parent: the page must not be minimised together with the window.
        if (std::unique_ptr<QDialog> page = CreatePage(id, nullptr))
            page->exec();
    });
}

bool CModuleDlg::ExecuteCommand(int id) {
    if (IsPageCommand(id)) {
        if (!IsPageRegistered(id)) {
            TraceF("command %d: its page is not available", id);
            return false;
        }
        OpenPage(id);
        return true;
    }
    switch (id) {
    case Command::kTelnet:
        OnTelnet();
        return true;
    case Command::kWeb:
        OnWeb();
        return true;
    case Command::kReboot:
        OnReboot();
        return true;
    case Command::kSaveConfiguration:
        OnSaveConfiguration();
        return true;
    case Command::kAbout:
    case Command::kSystemAbout:
        OnAbout();
        return true;
    case Command::kDotQVlan:
    case Command::kDeviceQos:
    case Command::kPortQos:
        // Handlers of the platform's category commands; nothing to do here.
        return true;
    default:
        return false;
    }
}

void CModuleDlg::OnPortClicked(int port) {
    if (!IsPageRegistered(Command::kPortConfiguration))
        return;
    SetPageSelectedPort(port);
    ExecuteCommand(Command::kPortConfiguration);
    SetPageSelectedPort(0);
}

QDialog* CModuleDlg::OpenPortTraffic(int port) {
    QPointer<QDialog>& window = m_trafficWindows[port];
    if (!window) {
        // No parent: the window stays when the panel is minimised for a page.
        std::unique_ptr<QDialog> made = CreatePortTrafficWindow(port, nullptr);
        if (!made)
            return nullptr;
        made->setAttribute(Qt::WA_DeleteOnClose);
        window = made.release();
        window->show();
    }
    window->raise();
    window->activateWindow();
    return window;
}

QDialog* CModuleDlg::PortTrafficWindow(int port) const {
    const auto it = m_trafficWindows.find(port);
    return it == m_trafficWindows.end() ? nullptr : it->second.data();
}

void CModuleDlg::CloseTrafficWindows() {
    // Each one stops polling and closes its session as it goes.
    for (auto& [port, window] : m_trafficWindows)
        delete window.data();
    m_trafficWindows.clear();
}

void CModuleDlg::OnTelnet() {
    if (!AskOkCancel(QStringLiteral("Do you want to TELNET this device?"), this))
        return;
    LaunchProgram(TelnetCommand(g_strDeviceIp));
}

void CModuleDlg::OnWeb() {
    if (!AskOkCancel(QStringLiteral("Do you want to access this device with browser?"), this))
        return;
    const SProgram browser = BrowserCommand(g_strDeviceIp);
    if (browser.program.isEmpty()) {
        ShowMessage(QStringLiteral("Failed to get IE path !"), this);
        return;
    }
    LaunchProgram(browser);
}

void CModuleDlg::OnReboot() {
    if (!AskOkCancel(QStringLiteral("Do you want to reboot the device?"), this))
        return;
    RunAsPage([] {
        CCommonSNMP session;
        if (!session.Open(CCommonSNMP::kSet))
            return;
        session.AddVarBind(QString::fromLatin1(kRebootOid), SnmpType::kInteger, "1");
        std::unique_ptr<CSnmp> answer;
        TraceF("reboot request: %d", session.Send(answer, 0));
        session.Close();
    });
}

void CModuleDlg::OnSaveConfiguration() {
    if (!AskOkCancel(QStringLiteral("Do you want to save the configuration?"), this))
        return;
    int status = -1;
    if (m_cCommonSNMPset->Open(CCommonSNMP::kSet)) {
        m_cCommonSNMPset->AddVarBind(QString::fromLatin1(kSaveOid), SnmpType::kInteger, "1");
        std::unique_ptr<CSnmp> answer;
        // A refused set (an error-status in the answer) fails too.
        status = m_cCommonSNMPset->Send(answer, kSaveTimeoutMs);
    }
    ShowMessage(status == 0 ? QStringLiteral("  Success!  ") : QStringLiteral("  Failed!  "), this);
}

void CModuleDlg::OnAbout() {
    CAboutDlg about(m_profile.strDeviceName, this);
    about.exec();
}

std::vector<CCommonSNMP*> CModuleDlg::PollingSessions() const {
    return {m_cCommonSNMP.get(), m_cCommonSNMPFan.get(), m_cCommonSNMPPoe.get(),
            m_cCommonSNMPDevStat.get(), m_cCommonSNMPPoeStat.get()};
}

qint64 CModuleDlg::StopPolling() {
    QElapsedTimer timer;
    timer.start();
    if (!m_pThread || !m_pThread->Running())
        return 0;
    m_pThread->RequestStop();
    // Closing a session cuts its request in flight short; a request the
    // thread opened just before it saw the stop flag is cut by the next round.
    while (!m_pThread->WaitEnded(std::chrono::milliseconds(20))) {
        for (CCommonSNMP* session : PollingSessions())
            session->Close();
    }
    TraceF("polling stopped after %lld ms", static_cast<long long>(timer.elapsed()));
    return timer.elapsed();
}

void CModuleDlg::CloseSessions() {
    if (std::exchange(m_bSessionsClosed, true))
        return;
    Trace(QStringLiteral("==================DestroyWindow==============="));
    const std::pair<CCommonSNMP*, const char*> sessions[] = {
        {m_cCommonSNMP.get(), "m_cCommonSNMP"},
        {m_cCommonSNMPset.get(), "m_cCommonSNMPset"},
        {m_cCommonSNMPFan.get(), "m_cCommonSNMPFan"},
        {m_cCommonSNMPPoe.get(), "m_cCommonSNMPPoe"},
        {m_cCommonSNMPDevStat.get(), "m_cCommonSNMPDevStat"},
        {m_cCommonSNMPPoeStat.get(), "m_cCommonSNMPPoeStat"},
    };
    for (const auto& [session, name] : sessions) {
        session->Close();
        TraceF("==================%s.Close===============", name);
    }
}

void CModuleDlg::done(int result) {
    CloseTrafficWindows();
    StopPolling();
    m_blinkTimer.stop();
    QDialog::done(result);
}

void CModuleDlg::OnActivateRequested() {
    Trace(QStringLiteral("activate requested"));
    // Changing the stay-on-top flag would re-create (hide) the window, and a
    // hidden dialog leaves its exec(); raising and activating is enough here.
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}
