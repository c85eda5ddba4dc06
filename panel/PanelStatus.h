#pragma once

#include "panel/PanelObjects.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// One row of the link-status walk: what the refresh needs per port.
struct SPortRow {
    int port = 0;  // row index of the interface table
    QString media; // port media code of the enterprise port table
    QString speed; // ifSpeed, bits per second
    QString admin; // ifAdminStatus
    QString oper;  // ifOperStatus
};

// One row of the PoE port-status walk.
struct SPoeRow {
    int port = 0;
    QString status; // "POWER ON", "POWER OFF", "Time-based OFF", ...
};

// The port-lamp code of one row: 2 disabled, 3 no link, else 1 at the port's
// full speed and 0 below it. Full speed is gigabit on all-gigabit models and
// on combo ports (from comboIndex on), 100 Mb/s on the other ports.
int LinkStatusCode(const SPortRow& row, bool allGiga, int comboIndex);

// PoE lamp of a port: 1 powered, 2 off ("POWER OFF", "Time-based OFF"), 0 anything else.
int PoeStatusCode(const QString& text);
namespace PoeCode {
constexpr int kOther = 0;
constexpr int kOn = 1;
constexpr int kOff = 2;
constexpr int kNone = -1;    // not a PoE port
constexpr int kUnknown = -2; // a PoE port the port-status walk has not answered for
} // namespace PoeCode

// The main window's status line: when the switch last answered a poll, or
// since when it has been silent (times in milliseconds since the epoch, 0 for
// never); peer names the switch.
QString PollStatusText(const QString& peer, qint64 lastAnswerMs, qint64 silentSinceMs,
                       bool unusable = false);

// The media codes of the enterprise port table that mean the fibre side of a combo port.
bool IsFibreMedia(int mediaCode);

// What the polling thread learns and the window paints. The thread writes,
// the window reads, at any time: every value is an atomic, and a refresh
// computes its result first and then stores each value once, so the painter
// never sees a port pass through an intermediate state.
class CPanelState {
public:
    static constexpr int kLamps = 100; // port-lamp bytes, port n at n - 1

    struct SLayout {
        int nPortNum = 0;
        int nComboPortNum = 0;
        int nComboPortIndex = 0;
        int nPoePorts = 0;
        bool bAllGiga = false;
    };

    CPanelState();

    // Binds the port objects (all "CPort" objects in document order: the
    // copper ports 1 to nPortNum, then one fibre object per combo port).
    // Called before the polling thread starts.
    void Attach(const SLayout& layout, std::vector<CPanelObject*> ports);
    const SLayout& Layout() const { return m_layout; }

    // Copper object of a port and fibre object of a combo port; null when the
    // panel has none.
    CPanelObject* CopperObject(int port) const;
    CPanelObject* FibreObject(int port) const;
    const std::vector<CPanelObject*>& PortObjects() const { return m_ports; }

    // Link walk done: applies every row at once. Rows beyond the port count
    // or without a port object are skipped.
    void ApplyLinkRows(const std::vector<SPortRow>& rows);
    // PoE walk done: ports of the PoE range not in the rows count as off.
    void ApplyPoeRows(const std::vector<SPoeRow>& rows);
    // The switch did not answer: every port object (copper and fibre) goes
    // back to the state of the description file, every lamp to 3, PoE off.
    void ResetPanel();

    // Also keeps when the switch last answered and since when it is silent
    // (milliseconds since the epoch, 0 for never). An unreachable switch that
    // still answered (refused, or sent something unusable) is not silent.
    void SetReachable(bool reachable, bool answered = false);
    bool AnsweredUnusably() const { return m_bUnusable.load(); }
    bool Reachable() const { return m_bReachable.load(); }
    qint64 LastAnswerMs() const { return m_nLastAnswerMs.load(); }
    qint64 SilentSinceMs() const { return m_nSilentSinceMs.load(); }
    // Fan text "1" (running) or "2"; "1" until the first fan poll.
    void SetFanValue(const QString& value) { m_bFanOk.store(value == QLatin1String("1")); }
    QString FanText() const { return m_bFanOk.load() ? QStringLiteral("1") : QStringLiteral("2"); }
    void SetPowMax(bool max) { m_BIsPowMax.store(max); }
    bool PowMax() const { return m_BIsPowMax.load(); }

    int LampCode(int port) const;
    int MediaCode(int port) const;    // last media code read; 0 before
    qint64 SpeedBits(int port) const; // last ifSpeed read; 0 before
    int PoeCodeOf(int port) const;    // PoeCode; kNone outside the PoE range
    bool AnyPoePowered() const;
    // At least one link refresh has been applied since start (or since a reset).
    bool Polled() const { return m_bPolled.load(); }
    // Counts the finished passes; a pass that saw no answer counts too.
    int Passes() const { return m_nPasses.load(); }
    void CountPass() { ++m_nPasses; }

private:
    bool InRange(int port) const { return port >= 1 && port <= kLamps; }

    SLayout m_layout;
    std::vector<CPanelObject*> m_ports; // not owned: the window's panel tree
    std::array<std::atomic<uint8_t>, kLamps> m_lamps;
    std::array<std::atomic<int32_t>, kLamps> m_media;
    std::array<std::atomic<qint64>, kLamps> m_speed;
    std::array<std::atomic<int8_t>, kLamps> m_poe;
    std::atomic<bool> m_bReachable{false};
    std::atomic<qint64> m_nLastAnswerMs{0};
    std::atomic<qint64> m_nSilentSinceMs{0};
    std::atomic<bool> m_bUnusable{false};
    std::atomic<bool> m_bFanOk{true};
    std::atomic<bool> m_BIsPowMax{false};
    std::atomic<bool> m_bPolled{false};
    std::atomic<int> m_nPasses{0};
};
