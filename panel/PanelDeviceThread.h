#pragma once

#include "panel/PanelStatus.h"

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class CCommonSNMP;

// Enterprise objects and columns the polling reads.
namespace PollOid {
inline constexpr char kReachability[] = "1.3.6.1.4.1.32473.10.75.7.25.1.0";
inline constexpr char kFan[] = "1.3.6.1.4.1.32473.10.75.7.1.15.1.0";
inline constexpr char kIfType[] = "1.3.6.1.2.1.2.2.1.3";
inline constexpr char kIfSpeed[] = "1.3.6.1.2.1.2.2.1.5";
inline constexpr char kIfAdminStatus[] = "1.3.6.1.2.1.2.2.1.7";
inline constexpr char kIfOperStatus[] = "1.3.6.1.2.1.2.2.1.8";
inline constexpr char kPortMedia[] = "1.3.6.1.4.1.32473.10.75.7.1.13.1.7";
inline constexpr char kPoeRefused[] = "1.3.6.1.4.1.32473.10.75.7.22.8.0";
inline constexpr char kPoePowerLeft[] = "1.3.6.1.4.1.32473.10.75.7.22.6.0";
inline constexpr char kPoePortStatus[] = "1.3.6.1.4.1.32473.10.75.7.22.1.1.13";
// Answers of a proxy carry this in their OIDs; they are not the switch's.
inline constexpr char kProxyMarker[] = "1.3.6.1.4.1.32473.7777.1.";
} // namespace PollOid

// Time-outs of the polling requests.
namespace PollTimeout {
constexpr unsigned long kReachabilityMs = 1000;
constexpr unsigned long kFanMs = 5000;
constexpr unsigned long kLinkWalkMs = 2000;
constexpr unsigned long kPoeMs = 5000;
} // namespace PollTimeout

// The sessions of the main window that the polling uses (not owned).
struct SPollSessions {
    CCommonSNMP* pReach = nullptr;   // m_cCommonSNMP
    CCommonSNMP* pFan = nullptr;     // m_cCommonSNMPFan
    CCommonSNMP* pDevStat = nullptr; // m_cCommonSNMPDevStat
    CCommonSNMP* pPoe = nullptr;     // m_cCommonSNMPPoe
    CCommonSNMP* pPoeStat = nullptr; // m_cCommonSNMPPoeStat
};

struct SPollConfig {
    QString strSnmpVersion = QStringLiteral("1");
    bool bHasFan = false;
    int nPoePorts = 0; // 0: no PoE polling
};

// The worker that keeps the panel current. Each pass asks whether the switch
// answers, then (as the model needs) its fan, its PoE budget and PoE port
// states, and the link state of every port, and stores what it learns in the
// panel state; it never touches a widget. Stopping is cooperative: the stop
// flag wakes the pauses at once, and the window closes the sessions to cut a
// request in flight short.
class CPanelDeviceThread {
public:
    CPanelDeviceThread(CPanelState& state, SPollSessions sessions,
                       const std::atomic<int32_t>& pageOpen, SPollConfig config);
    ~CPanelDeviceThread(); // stops and joins
    CPanelDeviceThread(const CPanelDeviceThread&) = delete;
    CPanelDeviceThread& operator=(const CPanelDeviceThread&) = delete;

    // onPass runs on the polling thread after every pass.
    void Start(std::function<void()> onPass);
    void RequestStop();
    bool StopRequested() const { return m_bStop.load(); }
    // True once the loop has ended (then joined); false when time ran out.
    bool WaitEnded(std::chrono::milliseconds limit);
    bool Running() const { return m_thread.joinable(); }

    // One pass, as the loop runs it; returns the pause that follows, in units.
    int RunPass();
    // 500 ms for SNMPv1, 1000 ms otherwise.
    int IntervalUnitMs() const;

    // The steps of a pass.
    bool ReachabilityStep();
    void FanStep();
    // PoE budget, PoE port walk and link walk; -1 when the PoE objects did
    // not answer (the pass after it comes sooner).
    int PoePath();
    // The link walk; false when it failed (nothing changed then).
    bool LinkStatusWalk();
    bool PoeStatusWalk();

    static constexpr int kPauseUnits = 10;
    static constexpr int kShortPauseUnits = 2;

private:
    void Loop();
    // Waits, waking early on stop; false when stop was requested.
    bool Pause(std::chrono::milliseconds duration);

    CPanelState& m_state;
    SPollSessions m_sessions;
    const std::atomic<int32_t>& m_nPageOpen;
    SPollConfig m_config;
    std::function<void()> m_onPass;

    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bEnded = false; // under m_mutex
    std::thread m_thread;
};

// A Get of one scalar: SnmpResult::kOk with its value, else why not
// (kProtocol when an answer came without the value).
int GetScalar(CCommonSNMP& session, const char* oid, unsigned long timeoutMs, QString& value);
// Whether a failed request still got an answer from the switch (a refusal or
// something unusable), as opposed to silence.
bool SwitchAnswered(int status);
// Walks columns row by row; row gets each row's index (dotted) and values in
// column order. Returns the walk's final status (end of table on success).
int WalkColumns(CCommonSNMP& session, const std::vector<const char*>& columns,
                unsigned long timeoutMs, const std::atomic<bool>& stop,
                const std::function<void(const QString& index, const QStringList& values)>& row);
