#pragma once

// "PortMirroringConfiguration": the mirroring state, the port that receives
// the copies (target) and the ports whose received (ingress) and sent
// (egress) traffic is copied.

#include "snmp/PageBase.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;

struct SMirrorSettings {
    bool enabled = false;
    int target = 0;
    std::vector<int> ingress, egress; // flags, index = port - 1
    std::vector<int> lagOfPort;       // aggregation group per port, 0 none
};
// The message of the first failed check, empty when all pass.
QString CheckMirror(const SMirrorSettings& settings);

class CPortMirrorPage : public CPageBase {
    Q_OBJECT
public:
    explicit CPortMirrorPage(QWidget* parent = nullptr);

    void Load();
    // True when the switch took the settings.
    bool Apply();

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTableTrunk;
    const int m_nPortNum;
    std::vector<int> m_lagOfPort;
    QWidget* m_pBody;
    QCheckBox* m_pEnable;
    QComboBox* m_pTarget;
    std::vector<QCheckBox*> m_ingress, m_egress;
};
