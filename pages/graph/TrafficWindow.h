#pragma once

// A port's live traffic window, opened from the port's context menu on the
// panel: receive and transmit rates, errors and discards, polled while the
// window is open and not paused. The arithmetic is in TrafficRates.h.

#include "pages/graph/TrafficRates.h"
#include "snmp/PageBase.h"

#include <QColor>
#include <QStringList>
#include <QTimer>

#include <optional>
#include <vector>

class QChart;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;

// Control ids of the window (it has no template of its own).
enum TrafficId {
    kIdTrafficClose = 2,
    kIdTrafficInterval = 1601,
    kIdTrafficPause = 1602,
    kIdTrafficNow = 1603,
    kIdTrafficRates = 1604,
    kIdTrafficErrors = 1605,
};

// One poll of the port: sysUpTime, ifSpeed, the octets in and out (64-bit
// ifXTable or 32-bit ifTable), then ifInErrors, ifOutErrors, ifInDiscards
// and ifOutDiscards. The port number is its ifIndex.
QStringList TrafficPollOids(int port, bool wideOctets);
// The sample in a poll's answer; empty, with the reason, when it is unusable.
std::optional<SCounterSample> SampleFromRow(const SSnmpRow& row, bool wideOctets, QString* why);
// The choices of the polling interval, in seconds.
inline constexpr int kTrafficIntervals[] = {1, 2, 5, 10};

class CPortTrafficWnd : public CPageBase {
    Q_OBJECT
public:
    explicit CPortTrafficWnd(int port, QWidget* parent = nullptr);
    ~CPortTrafficWnd() override;

    int Port() const { return m_nPort; }
    // Polls sent since the window opened.
    int PollsSent() const { return m_nPollsSent; }
    // 64-bit octet counters (until the switch turns out not to serve them).
    bool WideCounters() const { return m_bWide; }
    bool Paused() const { return m_bPaused; }
    int IntervalSeconds() const;
    const RateHistory& History() const { return m_history; }
    // Points now drawn by the series of a rate (all its runs together).
    int PlottedPoints(double SPortRates::*rate) const;

public slots:
    void done(int result) override;

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    // One drawn rate: a series per run between gaps, the first one in the legend.
    struct STrace {
        QChart* chart = nullptr;
        QDateTimeAxis* x = nullptr;
        QValueAxis* y = nullptr;
        double SPortRates::*rate = nullptr;
        QString name;
        QColor color;
        std::vector<QLineSeries*> series;
    };

    void Poll();
    void SetPaused(bool paused);
    void OnIntervalChosen();
    void TakeAnswer(const SSnmpReport& report);
    void AddGap();
    void Say(const QString& text);
    void Redraw();
    void DrawTrace(STrace& trace, double divisor);
    QChart* NewChart(const QString& title, QDateTimeAxis*& x, QValueAxis*& y);
    void AddTrace(QChart* chart, QDateTimeAxis* x, QValueAxis* y, double SPortRates::*rate,
                  const QString& name, QColor color);
    qint64 SpanMs() const;

    const int m_nPort;
    CCommonSNMP& m_cCommonSNMP;
    QTimer m_timer;
    CRateMeter m_meter;
    RateHistory m_history;
    bool m_bWide = true;
    bool m_bPaused = false;
    bool m_bInFlight = false;
    bool m_bDropInFlight = false; // its answer belongs to before a pause
    bool m_bClosing = false;
    int m_nPollsSent = 0;

    QComboBox* m_pInterval = nullptr;
    QPushButton* m_pPause = nullptr;
    QLabel* m_pNow = nullptr;
    QValueAxis* m_pRateAxis = nullptr;
    QValueAxis* m_pErrorAxis = nullptr;
    std::vector<STrace> m_traces;
};

// Makes the window known to the panel's port menu.
void RegisterTrafficWindow();
