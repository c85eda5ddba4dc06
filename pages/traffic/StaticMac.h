#pragma once

// "Static MAC Configuration": the switch's static unicast entries (MAC,
// VLAN, port); opened from the Forwarding Table page.

#include "snmp/PageBase.h"

#include <set>
#include <utility>
#include <vector>

class CListControl;
class QComboBox;
class QLabel;
class QLineEdit;

inline constexpr int kMaxStaticMacs = 256;

struct SStaticMacTable {
    std::set<std::pair<int, QString>> entries; // VID and upper-case "00-11-22-33-44-55"
    std::set<int> vlans;                       // VLANs the switch has
};
// The message of the first failed check of a new entry, empty when it passes.
QString CheckStaticMac(const SStaticMacTable& table, const QString& mac, const QString& vid);
// The row index of an entry: VID, then the six octets ("1.0.17.34.51.68.85").
QString StaticMacIndex(int vid, const QString& mac);

class CStaticMacPage : public CPageBase {
    Q_OBJECT
public:
    explicit CStaticMacPage(QWidget* parent = nullptr);

    void Load();
    bool Add();
    bool Delete();
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    CCommonSNMP& m_cCommonSNMPTableVlan;
    SStaticMacTable m_table;
    CListControl* m_pList;
    QLabel* m_pTotal;
    QLineEdit* m_pMac;
    QLineEdit* m_pVid;
    QComboBox* m_pPort;
};
