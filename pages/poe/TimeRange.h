#pragma once

// PoE time ranges: the "Time Range Information" list and the "Time Based PoE
// Config" editor.

#include "PoeCommon.h"
#include "snmp/PageBase.h"

#include <map>

class CListControl;
class QCheckBox;
class QComboBox;
class QLineEdit;

// A row of the time range table as the list walked it.
STimeRange TimeRangeOfRow(const SSnmpRow& row);

class CTimeRangeEditDlg : public CPageBase {
    Q_OBJECT
public:
    // Add mode (entry 0): the first slot not in used is taken. Edit mode: the
    // entry and what the list holds of it.
    CTimeRangeEditDlg(int entry, const STimeRange& range, const std::vector<int>& used,
                      QWidget* parent = nullptr);

    // "Apply": checks, then the writes; false when refused (the editor stays open).
    bool Submit();
    STimeRange Entered() const;
    int Entry() const { return m_nEntry; }
    // Cancel: a row made for this editor and not finished goes again.
    void reject() override;

private:
    void Show(const STimeRange& range);
    void OnDate(bool checked);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    int m_nEntry;
    bool m_bAdd;
    bool m_bCreated = false; // add mode: the row exists on the switch
    std::vector<int> m_used;
    QLineEdit* m_pName;
    QCheckBox* m_pDate;
    QComboBox* m_pDates[6]; // from y/m/d, to y/m/d
    QComboBox* m_pTimes[4]; // start h/m, end h/m
    QCheckBox* m_pDays[7];
};

class CTimeRangePage : public CPageBase {
    Q_OBJECT
public:
    explicit CTimeRangePage(QWidget* parent = nullptr);

    void Refresh();
    void OnAdd();
    void OnEdit();
    // True when the destroy was sent and taken.
    bool OnDelete();
    CListControl* List() const { return m_pList; }

signals:
    void Loaded();

protected:
    void OnInitDialog() override;
    void OnSnmpNotify(const SSnmpReport& report) override;

private:
    int SelectedEntry() const;
    void RunEditor(int entry);

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CListControl* m_pList;
    std::vector<int> m_entries; // by list line
    std::map<int, STimeRange> m_ranges;
    bool m_bWalking = false;
};
