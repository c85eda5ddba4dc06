#pragma once

// Link aggregation: the "Trunk Configuration" page, the "Trunk member" window
// and TrunkValid, which refuses member sets that the switch must not aggregate.

#include "snmp/PageBase.h"

#include <array>
#include <functional>
#include <span>
#include <vector>

class CListControl;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

constexpr int kTrunkGroups = 8;

// "1" "LACP", "2" "Static", anything else "Disable".
QString TrunkModeText(const QString& value);
// Mode box entry (0 "LACP", 1 "Static", 2 "Disable") to the value written.
int TrunkModeValue(int entry);
// The "Trunk ID:" text: empty message and group set when it is 1 to 8.
QString CheckTrunkId(const QString& text, int& group);
// The 2 to 8 member rule.
QString CheckMemberCount(std::span<const int> selected);
// Member flags as hex text: one digit per four ports, padded by port count.
QString TrunkMemberHex(std::span<const int> selected, int portCount);

// What the aggregation checks compare, per port (index = port - 1) unless a
// scalar.
struct STrunkValidData {
    int portCount = 0;
    // Per-port walk 1.
    std::vector<int> speed, priority, pvid, portSecurity, media, lbd, rateIngress, rateEgress;
    // Per-port walk 2.
    std::array<std::vector<int>, 7> rstp;
    std::vector<int> dot1xControl, voiceMode;
    // Scalars.
    int mirrorState = 0;
    int mirrorTarget = 0;
    std::vector<int> mirrorSource1, mirrorSource2; // 1 in the list, else 0
    std::vector<int> autoLearn;                    // 1 in the list, else 0
    int dot1xState = 0;
    int rstpState = 0;
    int surveillanceState = 0;
    // Other tables.
    std::vector<int> dhcpScreening; // 1 screened, 2 trusted
    std::vector<int> vlanConfig;    // ports with equal VLAN membership share a number (from 1)
    std::vector<int> fdbHit;        // 1 named by a destination-hit entry
    std::vector<int> arpPrevention; // 1 in some ARP spoofing prevention entry
    std::vector<int> acl;           // 1 in some ACL
    std::vector<int> surveillanceMode, surveillanceDynamic;
    std::vector<int> lagOfPort; // group of the port, 0 for none

    explicit STrunkValidData(int ports = 0);
};

// The seventeen checks in order: the message of the first that fails, empty
// when the selection may be aggregated. memberText is the current member
// list ("1,2,5") of the group being edited.
QString CheckTrunkMembers(const STrunkValidData& data, std::span<const int> selected,
                          const QString& memberText);

// Loading helpers (rows as the walks deliver them).
// Row r fills entry r of each array; rows beyond the port count are dropped.
void FillPerPortRows(const std::vector<SSnmpRow>& rows,
                     const std::vector<std::vector<int>*>& arrays);
// One number per port for its membership over all VLAN rows (egress, untagged).
std::vector<int> VlanConfigOfPorts(const std::vector<SSnmpRow>& rows, int portCount);
// Ports named by the first cell of the rows: a PortList, or a port number.
std::vector<int> PortsNamedBy(const std::vector<SSnmpRow>& rows, int portCount);

class CTrunkValid {
public:
    using SessionMaker = std::function<CCommonSNMP&(const QString& name)>;
    // The nine sessions are made (and later closed) in this order.
    explicit CTrunkValid(const SessionMaker& addSession);

    // Reads everything the checks need; false when a load failed.
    bool Init();
    bool IsLoaded() const { return m_bLoaded; }
    const STrunkValidData& Data() const { return m_data; }
    // Reads the RSTP state again and runs the checks.
    QString Check(std::span<const int> selected, const QString& memberText);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPMirror;
    CCommonSNMP& m_cCommonSNMPTableACL;
    CCommonSNMP& m_cCommonSNMPPoint;
    CCommonSNMP& m_cCommonSNMPTableVlan;
    CCommonSNMP& m_cCommonSNMPTableTrunk;
    CCommonSNMP& m_cCommonSNMPTableStaticPor;
    CCommonSNMP& m_cCommonSNMPTableGetVlanTrunk;

private:
    bool LoadPerPort();
    bool LoadScalars();
    bool LoadTables();

    STrunkValidData m_data;
    bool m_bLoaded = false;
};

// "Trunk member": picks the members of one group.
class CTrunkMemberDlg : public CPageBase {
    Q_OBJECT
public:
    CTrunkMemberDlg(int group, const QString& modeText, const QString& memberText,
                    QWidget* parent = nullptr);

    // OK: checks, then one SET of members and mode; true when the switch took it.
    bool Submit();
    std::vector<int> Selected() const;
    CTrunkValid& Validator() { return m_valid; }
    // The validator's load has run (successfully or not).
    bool IsLoadDone() const { return m_bLoadDone; }

signals:
    // The validator's load is over (ok false: "TrunkValid Init Error !" was shown).
    void Loaded(bool ok);

protected:
    void OnInitDialog() override;

private:
    void Load();
    void PlaceControls();

    const int m_nGroup;
    const QString m_strMode;
    const QString m_strMembers;
    CTrunkValid m_valid;
    std::vector<QCheckBox*> m_boxes;
    std::vector<int> m_selected;
    bool m_bLoadDone = false;
};

class CTrunkPage : public CPageBase {
    Q_OBJECT
public:
    explicit CTrunkPage(QWidget* parent = nullptr);

    void Refresh();
    // "&Apply" of "Trunk status"; true when the switch took the state.
    bool ApplyState();
    // "&Apply": the channel mode of the group in "Trunk ID:"; true when sent and taken.
    bool ApplyMode();
    // "&PortMember".
    void OnPortMember();
    void SelectRow(int row);
    CListControl* List() const { return m_pList; }
    bool IsLoading() const { return m_bLoading; }

signals:
    // The group list walk is over.
    void Loaded();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    // The list row of a group, -1 when it is not listed.
    int RowOfGroup(int group) const;
    void UpdateButtons();

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    CListControl* m_pList;
    QLineEdit* m_pTrunkId;
    QComboBox* m_pMode;
    QCheckBox* m_pEnable;
    QPushButton* m_pPortMember;
    QPushButton* m_pRefresh;
    QPushButton* m_pApply;
    bool m_bLoading = false;
    bool m_bTrunkEnabled = false;
};
