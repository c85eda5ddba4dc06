#pragma once

// Two small layer-2 pages: jumbo frames, and the multicast filtering mode
// of each VLAN (read and written by a back-end that reports to the page).

#include "snmp/PageBase.h"

#include <map>

class CListControl;
class QCheckBox;
class QComboBox;
class QPushButton;

// The mode column as the list shows it: "0" forwards, anything else filters.
QString MulticastModeText(const QString& value);
// The code written for a mode box entry: 0 forward, 1 filter.
int MulticastModeCode(int entry);

class CJumboFramePage : public CPageBase {
    Q_OBJECT
public:
    explicit CJumboFramePage(QWidget* parent = nullptr);

    void Load();
    // "&Apply"; true when the switch took the state.
    bool Apply();

protected:
    void OnInitDialog() override;

private:
    CCommonSNMP& m_cCommonSNMP;
    QCheckBox* m_pEnable;
};

// Report codes of the multicast back-end.
namespace MulticastReport {
constexpr int kRow = 0;
constexpr int kWriteFinished = 4;
constexpr int kFinished = 5;
} // namespace MulticastReport

class CMulticastBackEnd : public CFeatureBackEnd {
public:
    // Reads the VLAN names, then walks the filtering table: a kRow report
    // per VLAN, then kFinished.
    void Load();
    // Writes one VLAN's mode, then kWriteFinished.
    void Apply(int vid, int code);
    QString VlanName(int vid) const;

private:
    std::map<int, QString> m_names;
};

class CMulticastFilterPage : public CPageBase {
    Q_OBJECT
public:
    explicit CMulticastFilterPage(QWidget* parent = nullptr);
    ~CMulticastFilterPage() override;

    void Refresh();
    // "&Apply" for the VLAN chosen; false when none is.
    bool Apply();
    CListControl* List() const { return m_pList; }

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    void SetBusy(bool busy);

    CMulticastBackEnd m_backEnd;
    CListControl* m_pList;
    QComboBox* m_pVlan;
    QComboBox* m_pMode;
    QPushButton* m_pApply;
    QPushButton* m_pRefresh;
};
