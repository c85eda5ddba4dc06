#pragma once

// "IGMP Snooping Configuration": the global state, host timeout and querier,
// and per VLAN whether snooping runs and whether a leave takes effect at once.

#include "snmp/PageBase.h"

class CListControl;
class QCheckBox;
class QComboBox;
class QLineEdit;

// The messages of the two applies, empty when the entries pass.
QString CheckIgmpGlobal(const QString& hostTimeout);
QString CheckIgmpVlan(const QString& vid);

class CIgmpSnoopingPage : public CPageBase {
    Q_OBJECT
public:
    explicit CIgmpSnoopingPage(QWidget* parent = nullptr);

    void Load();
    bool ApplyGlobal();
    bool ApplyVlan();
    void OnRowSelected(int row);
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CCommonSNMP& m_cCommonSNMPTable;
    QCheckBox* m_pEnable;
    QLineEdit* m_pHostTimeout;
    QCheckBox* m_pQuerier;
    CListControl* m_pList;
    QLineEdit* m_pVid;
    QComboBox* m_pVlanState;
    QComboBox* m_pFastLeave;
};
