#pragma once

// The PoE page tests: the page test kit and PoE objects by column.

#include "ModalPage.h"
#include "PageTestKit.h"
#include "pages/poe/PoeCommon.h"
#include "platform/ListControl.h"

#include <QTimer>

class CPoePageTest : public CPageTestKit {
protected:
    static CListControl* List(CPageBase& page, int id) {
        return qobject_cast<CListControl*>(Widget(page, id));
    }
    // SET requests served since the counters were reset.
    int SetRequests() const {
        return m_sim
            .Get(QStringLiteral("1.3.6.1.4.1.32473.99.3.4.0"), CSimProcess::kControlCommunity)
            .toInt();
    }
    // Whether the switch has the instance (net-snmp's own tools ask).
    bool Exists(const QString& oid) const { return !m_sim.Get(oid).startsWith("No Such"); }
    QString PortCell(int column, int port) const { return Get(PoePortCell(column, port)); }
    QString RangeCell(int column, int entry) const { return Get(TimeRangeCell(column, entry)); }
    // An active range made on the switch directly: days Monday to Friday.
    void MakeRange(int entry, const QString& name, int startHour = 8, int endHour = 18) {
        ASSERT_TRUE(Set(TimeRangeCell(21, entry), "i", "5"));
        ASSERT_TRUE(Set(TimeRangeCell(2, entry), "s", name));
        ASSERT_TRUE(Set(TimeRangeCell(7, entry), "i", QString::number(startHour)));
        ASSERT_TRUE(Set(TimeRangeCell(12, entry), "i", QString::number(endHour)));
        for (int day = 14; day <= 18; ++day)
            ASSERT_TRUE(Set(TimeRangeCell(day, entry), "i", "1"));
        ASSERT_TRUE(Set(TimeRangeCell(21, entry), "i", "1"));
    }
};
