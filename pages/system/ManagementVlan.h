#pragma once

// "IEEE 802.1Q Management VLAN Configuration": the VLAN through which the
// switch takes management traffic.

#include "snmp/PageBase.h"

#include <vector>

// Refusals before anything is sent: a VID of 1 to 4094 naming a VLAN of the
// switch, and the symmetric VLAN mode when enabling. Empty when all pass.
QString CheckManagementVlan(bool enable, const QString& vidText, const std::vector<int>& vlans,
                            bool asymmetric);

class CManagementVlanPage : public CPageBase {
    Q_OBJECT
public:
    enum Id {
        kIdEnable = 5401,
        kIdVid = 5402,
        kIdRefresh = 5403,
        kIdApply = 5404,
        kIdClose = 5405
    };
    explicit CManagementVlanPage(QWidget* parent = nullptr);

    void Refresh();
    bool Apply();

protected:
    void OnInitDialog() override { Refresh(); }

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTableVlan;
    std::vector<int> m_vlans;
    bool m_bAsymmetric = false;
};
