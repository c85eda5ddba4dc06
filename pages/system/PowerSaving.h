#pragma once

// "Power Saving Settings ": link and cable-length detection and dark port
// lamps for the whole switch, and on the models that have it, port shut-off
// on a time range.

#include "SystemCommon.h"

#include <vector>

class CListControl;

// The per-port apply's refusals: the port range, and a time range for
// shut-off (timeRange 0 is "N/A").
QString CheckPortShutOff(int from, int to, bool shutOff, int timeRange);

class CPowerSavingPage : public CPageBase {
    Q_OBJECT
public:
    enum Id {
        kIdLinkDetect = 5101,
        kIdLengthDetect = 5102,
        kIdLedShutOff = 5103,
        kIdApplyGlobal = 5104,
        kIdPortList = 5110,
        kIdFromPort = 5111,
        kIdToPort = 5112,
        kIdShutOff = 5113,
        kIdTimeRange = 5114,
        kIdApplyPorts = 5115,
        kIdRefresh = 5120,
        kIdClose = 5121,
    };
    explicit CPowerSavingPage(QWidget* parent = nullptr);

    void Refresh();
    bool ApplyGlobal();
    bool ApplyPorts();
    bool HasPortPart() const { return m_bPerPort; }

protected:
    void OnInitDialog() override { Refresh(); }

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTimeRang;
    CCommonSNMP& m_cCommonSNMPTable;
    CListControl* m_pList;
    std::vector<STimeRangeName> m_names;
    bool m_bPerPort;
};
