#pragma once

// 802.1Q VLANs: the "802.1Q VLAN Configuration" page, the VLAN editor and the
// PVID page.

#include "snmp/PageBase.h"

#include <optional>
#include <vector>

class CListControl;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

constexpr int kMaxVlans = 256;

// A port's place in one VLAN, as the editor's three rows show it. Untagged
// ports are in both lists the switch keeps (egress and untagged).
enum VlanMembership { kNotMember = 0, kTagged = 1, kUntagged = 2 };

std::vector<int> MembershipOf(const QByteArray& egress, const QByteArray& untagged, int portCount);
std::vector<int> EgressFlags(const std::vector<int>& membership);
std::vector<int> UntaggedFlags(const std::vector<int>& membership);

// The editor's checks: the message of the first that fails, else empty.
// existingVids: the VLANs listed (the VID of a new VLAN must not be one).
QString CheckVlanEdit(const QString& vidText, const QString& name,
                      const std::vector<int>& membership, bool isNew,
                      const std::vector<int>& existingVids, const std::vector<int>& lagOfPort);

// One write of a member list.
struct SVlanListWrite {
    bool egress = true; // else the untagged list
    std::vector<int> flags;
};
// The member-list writes from the old lists to the new ones, ordered so that
// the untagged ports stay a part of the egress ports after every write.
std::vector<SVlanListWrite> VlanListWrites(const std::vector<int>& oldMembership,
                                           const std::vector<int>& newMembership);

// Deletion refusals, in order; empty when the VLAN may be deleted (the
// question comes next). selectedRow -1: no row selected.
struct SVlanDeleteState {
    int rowCount = 0;
    int selectedRow = -1;
    int vid = 0;
    bool asymmetric = false;
    std::vector<int> pvids; // the ports' PVIDs (read only when asymmetric)
    bool voiceEnabled = false;
    int voiceVid = 0;
    bool surveillanceEnabled = false;
    int surveillanceVid = 0;
};
QString CheckVlanDelete(const SVlanDeleteState& state);

// The PVID page's refusals. groupModes: channel mode of groups 1 to 8
// (index group - 1), 1 LACP.
QString CheckPvidChange(const QString& pvidText, const std::vector<int>& ports,
                        const std::vector<int>& existingVids, const std::vector<int>& lagOfPort,
                        const std::vector<int>& groupModes);

class CVlanEditDlg : public CPageBase {
    Q_OBJECT
public:
    // vid 0: a new VLAN. existingVids: the VLANs the page lists.
    CVlanEditDlg(int vid, const std::vector<int>& existingVids, QWidget* parent = nullptr);

    // OK: checks, then the writes; false when refused (the editor stays open).
    bool Submit();
    // Per port: kNotMember, kTagged or kUntagged as ticked.
    std::vector<int> Membership() const;
    void SetMembership(int port, int membership);
    QLineEdit* VidEdit() const { return m_pVid; }
    QLineEdit* NameEdit() const { return m_pName; }
    // Writes the VLAN (name, member lists, row status) in that order, up to
    // the first SET refused; true when all were taken.
    bool Write(int vid, const QString& name, const std::vector<int>& membership);
    // Which step the switch refused, in the page's words; empty when none.
    const QString& Failure() const { return m_strFailure; }

signals:
    void Loaded();

protected:
    void OnInitDialog() override;

private:
    void Load();

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTableTrunk;
    const int m_nVid;
    QString m_strFailure;
    const std::vector<int> m_existing;
    std::vector<int> m_oldMembership;
    std::vector<int> m_lagOfPort;
    QLineEdit* m_pVid;
    QLineEdit* m_pName;
    std::vector<QButtonGroup*> m_groups; // one per port
};

class CPvidPage : public CPageBase {
    Q_OBJECT
public:
    explicit CPvidPage(QWidget* parent = nullptr);

    void Load();
    // Writes the PVID typed to the selected ports; true when sent and taken.
    bool Apply();
    CListControl* List() const { return m_pList; }
    QLineEdit* PvidEdit() const { return m_pPvid; }

signals:
    void Loaded();

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    std::vector<int> m_lagOfPort;
    std::vector<int> m_groupModes;
    std::vector<int> m_pvids;
    CListControl* m_pList;
    QLineEdit* m_pPvid;
    QPushButton* m_pApply;
};

class CVlanPage : public CPageBase {
    Q_OBJECT
public:
    explicit CVlanPage(QWidget* parent = nullptr);

    void Refresh();
    void OnAdd();
    void OnEdit();
    // True when the delete was sent and taken.
    bool OnDelete();
    void OnPvid();
    // "&Apply" of the VLAN mode; true when sent and taken.
    bool ApplyMode();
    void ReadMode();
    CListControl* List() const { return m_pList; }
    bool IsLoading() const { return m_bLoading; }
    std::vector<int> ListedVids() const;

signals:
    void Loaded();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    void ReadSpecialVlans();
    void SetBusy(bool busy);
    int SelectedVid() const;

    CCommonSNMP& m_cCommonSNMPTableVlan;
    CCommonSNMP& m_cCommonSNMPTableVlanDelete;
    CCommonSNMP& m_cCommonSNMPVoiceVlan;
    CCommonSNMP& m_cCommonSNMP;
    CListControl* m_pList;
    QCheckBox* m_pAsymmetric;
    QPushButton* m_pApply;
    std::vector<QPushButton*> m_editButtons;
    QPushButton* m_pRefresh;
    QPushButton* m_pClose;
    bool m_bLoading = false;
    bool m_bRefreshQueued = false;
    bool m_bVoiceEnabled = false;
    int m_nVoiceVid = 0;
    bool m_bSurveillanceEnabled = false;
    int m_nSurveillanceVid = 0;
};
