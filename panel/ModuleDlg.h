#pragma once

#include "device/DeviceProfile.h"
#include "panel/PanelDeviceThread.h"
#include "panel/PanelObjects.h"
#include "panel/PanelPainter.h"
#include "panel/PanelStatus.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <functional>
#include <map>
#include <memory>

class CCommonSNMP;
class CPanelView;
class QMenuBar;

// The main window: the switch's front panel, kept live by the polling
// thread, and the menu to every page and tool.
class CModuleDlg : public QDialog {
    Q_OBJECT
public:
    struct SOptions {
        QString strProfilePath = ProfilePath();
        // Tests run the polling passes themselves.
        bool bStartPolling = true;
    };

    explicit CModuleDlg(QWidget* parent = nullptr);
    CModuleDlg(SOptions options, QWidget* parent = nullptr);
    ~CModuleDlg() override;

    // Initialisation, in its order: profile, panel, bitmaps, caption and About
    // item, port lamps, polling thread, menu trimming. False when the profile
    // is unusable (the window then stays without panel). Runs once.
    bool OnInitDialog();
    int exec() override;

    // The one dispatch of every command: menu, tests, a click on a port.
    // False when the id is not a command or its page does not exist yet.
    bool ExecuteCommand(int id);
    // Every page command runs through here: minimised with the page-open
    // flag raised while body runs, then restored.
    void RunAsPage(const std::function<void()>& body);

    // Tools.
    void OnTelnet();
    void OnWeb();
    void OnReboot();
    void OnSaveConfiguration();
    void OnAbout();
    // Enables the page commands whose page is registered (also done each
    // time a menu opens, so a page registered late shows up).
    void UpdateCommandStates();

    // The traffic window of the port, opened beside the panel (or raised when
    // open); null when none can be made.
    QDialog* OpenPortTraffic(int port);
    QDialog* PortTrafficWindow(int port) const;

    // Ends polling cooperatively: wakes the thread and cuts its request in
    // flight short. Returns the milliseconds it took.
    qint64 StopPolling();

    const SDeviceProfile& Profile() const { return m_profile; }
    const CPanelObject& Panel() const { return m_root; }
    const CPanelState& State() const { return m_state; }
    CPanelDeviceThread* PollingThread() const { return m_pThread.get(); }
    QMenuBar* MenuBar() const { return m_pMenuBar; }
    CPanelView* View() const { return m_pView; }
    // The status line under the panel (last answered poll, or silence).
    QString StatusLine() const;
    void UpdateStatusLine();
    bool PageOpen() const { return m_nPageOpen.load() != 0; }
    bool BlinkTimerActive() const { return m_blinkTimer.isActive(); }

public slots:
    // A second start for the same switch asks this window to come forward.
    void OnActivateRequested();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnBlinkTimer(); // timer 2052
    void OnPollPass();   // queued from the polling thread
    void OnPortClicked(int port);
    void OpenPage(int id);
    void StartPollingThread();
    void CloseSessions();
    void CloseTrafficWindows();
    void MaybeTakeScreenshot();
    std::vector<CCommonSNMP*> PollingSessions() const;

    SOptions m_options;
    bool m_bInitialised = false;
    bool m_bProfileOk = false;
    bool m_bSessionsClosed = false;
    SDeviceProfile m_profile;

    CPanel m_root;
    ModuleList m_modules;
    CPanelState m_state;
    std::unique_ptr<CPanelPainter> m_pPainter;

    // Sessions of the window, destroyed after the polling thread that uses them.
    std::unique_ptr<CCommonSNMP> m_cCommonSNMP;
    std::unique_ptr<CCommonSNMP> m_cCommonSNMPset;
    std::unique_ptr<CCommonSNMP> m_cCommonSNMPFan;
    std::unique_ptr<CCommonSNMP> m_cCommonSNMPPoe;
    std::unique_ptr<CCommonSNMP> m_cCommonSNMPDevStat;
    std::unique_ptr<CCommonSNMP> m_cCommonSNMPPoeStat;

    std::atomic<int32_t> m_nPageOpen{0};
    std::unique_ptr<CPanelDeviceThread> m_pThread;

    QTimer m_blinkTimer;
    bool m_bBlinkPhase = false;
    QMenuBar* m_pMenuBar = nullptr; // owned by the window's layout
    CPanelView* m_pView = nullptr;  // owned by the window's layout
    class QLabel* m_pStatusLine = nullptr; // owned by the window's layout
    QTimer m_statusTimer;
    QString m_strScreenshot;
    // Port traffic windows: they delete themselves when closed, and the
    // window closes the rest when it goes.
    std::map<int, QPointer<QDialog>> m_trafficWindows;
};
