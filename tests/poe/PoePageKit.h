#pragma once

// The PoE page tests: the page test kit, PoE objects by column, and a modal
// dialog driven while it runs.

#include "PageTestKit.h"
#include "pages/poe/PoeCommon.h"
#include "platform/ListControl.h"

#include <QTimer>

class CPoePageTest : public CPageTestKit {
protected:
    // Runs action, which opens a modal dialog of type T; drive gets it (once
    // loaded, when it loads) and it is rejected afterwards if still open.
    // False when none came.
    template <class T>
    static bool WithModal(const std::function<void()>& action, const std::function<void(T&)>& drive,
                          bool loads = false, int timeoutMs = 20000) {
        bool seen = false;
        QElapsedTimer clock;
        clock.start();
        QTimer timer;
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            // A dialog that loads is ready once its first outcome is shown
            // (after its rows) and nothing runs.
            if (dialog && (!loads || dialog->OutcomeSerial() > 0) && !dialog->IsBusy()) {
                timer.stop();
                seen = true;
                drive(*dialog);
                if (dialog->isVisible())
                    dialog->reject();
            } else if (clock.elapsed() > timeoutMs) {
                timer.stop();
            }
        });
        timer.start();
        action();
        timer.stop();
        return seen;
    }

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
