#pragma once

// "Auto Surveillance VLAN Settings" (the VLAN that ports join when a camera
// of a listed vendor speaks on them, and each port's mode) and the vendor
// list it opens, "Auto Surveillance VLAN OUI Settings".

#include "SystemCommon.h"

#include <vector>

class CListControl;

constexpr int kMaxOuiEntries = 16;

// The global settings' refusals; empty when all pass. vlans: the active VIDs.
QString CheckSurveillance(bool enable, const QString& vidText, const QString& agingText,
                          const std::vector<int>& vlans, bool asymmetric);

// An OUI text "00-40-8C" (or with ':') as its three octets; false when not one.
bool ParseOui(const QString& text, QByteArray& octets);
// The OUI page's refusals for a new entry; existing: the listed OUIs' octets.
QString CheckOui(const QString& ouiText, const QString& description,
                 const std::vector<QByteArray>& existing);

class CSurveillancePage : public CPageBase {
    Q_OBJECT
public:
    enum Id {
        kIdEnable = 5201,
        kIdVid = 5202,
        kIdPriority = 5203,
        kIdAging = 5204,
        kIdApplyGlobal = 5205,
        kIdPortList = 5210,
        kIdFromPort = 5211,
        kIdToPort = 5212,
        kIdMode = 5213,
        kIdDynamic = 5214,
        kIdApplyPorts = 5215,
        kIdOui = 5220,
        kIdRefresh = 5221,
        kIdClose = 5222,
    };
    explicit CSurveillancePage(QWidget* parent = nullptr);

    void Refresh();
    bool ApplyGlobal();
    bool ApplyPorts();
    void OpenOui();

protected:
    void OnInitDialog() override { Refresh(); }

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    CCommonSNMP& m_cCommonSNMPTableVlan;
    CListControl* m_pList;
    std::vector<int> m_vlans;
    bool m_bAsymmetric = false;
};

class CSurveillanceOuiPage : public CPageBase {
    Q_OBJECT
public:
    enum Id {
        kIdList = 5301,
        kIdAddress = 5302,
        kIdDescription = 5303,
        kIdAdd = 5304,
        kIdDelete = 5305,
        kIdRefresh = 5306,
        kIdClose = 5307,
    };
    explicit CSurveillanceOuiPage(QWidget* parent = nullptr);

    void Refresh();
    bool Add();
    bool Delete();

protected:
    void OnInitDialog() override { Refresh(); }

private:
    CCommonSNMP& m_cCommonSNMPTable;
    CCommonSNMP& m_cCommonSNMPSet;
    CListControl* m_pList;
    std::vector<int> m_indexes;
    std::vector<QByteArray> m_ouis;
};
