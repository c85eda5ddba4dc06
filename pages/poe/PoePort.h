#pragma once

// "PoE Configuration": the PoE settings and measurements of each port, and
// the settings applied to a range of ports.

#include "snmp/PageBase.h"

#include <vector>

class CListControl;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class CPoePortPage : public CPageBase {
    Q_OBJECT
public:
    static constexpr int kPauseMs = 300;
    static constexpr unsigned long kSetWaitMs = 20000;

    explicit CPoePortPage(QWidget* parent = nullptr);

    // Time-range names, then the port table.
    void Refresh();
    // Writes the settings to the ports of the range; false when a check or
    // the switch stopped it.
    bool Apply();
    void OnTimeRanges();
    CListControl* List() const { return m_pList; }

signals:
    void Loaded();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    enum Report { kNameRow = 10, kNamesFinished = 11 };
    void WalkPorts();
    void SelectLine(int row);
    void OnFromPort(int index);
    void OnToPort(int index);
    void OnUserDefine(bool checked);
    QString RangeName(const QString& index) const;
    int RangeIndex(const QString& name) const;

    CCommonSNMP& m_cCommonSNMPTimeRang;
    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    std::vector<int> m_rangeIndexes;
    QStringList m_rangeNames;
    CListControl* m_pList;
    QComboBox* m_pFrom;
    QComboBox* m_pTo;
    QComboBox* m_pState;
    QComboBox* m_pPriority;
    QComboBox* m_pLimit;
    QCheckBox* m_pUserDefine;
    QLineEdit* m_pWatts;
    QComboBox* m_pTimeRange;
    QPushButton* m_pRefresh;
    QPushButton* m_pApply;
    bool m_bWalking = false;
};
