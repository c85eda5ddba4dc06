#pragma once

// "Time Profile Info": the switch's time ranges (the schedules that PoE and
// port shut-off follow), listed, added, changed and deleted.

#include "SystemCommon.h"

#include <array>
#include <vector>

class CListControl;

constexpr int kMaxTimeProfiles = 8;

// One time range as the page edits it (no date limits: every week).
struct STimeProfile {
    QString name;
    std::array<bool, 7> days{}; // Monday to Sunday
    int startHour = 0, startMinute = 0, endHour = 23, endMinute = 59;
};
// The refusals; names: the other ranges' names (a name is used once).
QString CheckTimeProfile(const STimeProfile& profile, const QStringList& otherNames);
// "Mon,Tue," ... of the chosen days, as the time range list shows them.
QString WeekdaysText(const std::array<bool, 7>& days);
// The first of the entry numbers 1 to 8 that is free; 0 when all are used.
int FreeTimeProfileIndex(const std::vector<int>& used);

class CTimeProfilePage : public CPageBase {
    Q_OBJECT
public:
    enum Id {
        kIdList = 5001,
        kIdName = 5002,
        kIdStartHour = 5003,
        kIdStartMinute = 5004,
        kIdEndHour = 5005,
        kIdEndMinute = 5006,
        kIdMonday = 5010, // to 5016 Sunday
        kIdAdd = 5020,
        kIdModify = 5021,
        kIdDelete = 5022,
        kIdRefresh = 5023,
        kIdClose = 5024,
    };
    explicit CTimeProfilePage(QWidget* parent = nullptr);

    void Refresh();
    bool Add();
    bool Modify();
    bool Delete();

protected:
    void OnInitDialog() override { Refresh(); }

private:
    STimeProfile Entered() const;
    QStringList NamesExcept(int row) const;
    void ShowRow(int row);
    std::vector<SSetVar> ColumnWrites(int index, const STimeProfile& profile) const;

    CCommonSNMP& m_cCommonSNMP;
    CCommonSNMP& m_cCommonSNMPSet;
    CListControl* m_pList;
    std::vector<int> m_indexes;
    std::vector<STimeProfile> m_profiles;
};
