// Pages of every family opened and closed many times while their walks run.
// Run under the address and thread sanitizers, these show that a closing
// page leaves no callback, session or report behind that touches freed
// memory or races; here they check that nothing is left open and that the
// switch and the page still work afterwards. Close times are the page-close
// benchmark's figures.

#include "PageCycles.h"
#include "PageTestKit.h"

#include <QApplication>

namespace {

class Stress : public CPageTestKit {
protected:
    // Cycles per family: NSW_STRESS_CYCLES, else as many as keep the suite
    // near a minute under AddressSanitizer (the page-close benchmark runs 1,000).
    static int Cycles() {
        bool ok = false;
        const int n = qEnvironmentVariableIntValue("NSW_STRESS_CYCLES", &ok);
        return ok && n > 0 ? n : 300;
    }

    void CycleFamily(const char* family) {
        StartSwitch(QStringLiteral("NSW-4410-28P B1"));
        int command = 0;
        for (const SCyclePage& page : CyclePages())
            if (QLatin1String(page.family) == QLatin1String(family))
                command = page.command;
        ASSERT_NE(command, 0) << family;
        const qsizetype windows = QApplication::topLevelWidgets().size();
        const int cycles = Cycles();
        for (int i = 0; i < cycles; ++i) {
            // closed at once, after its first answers, or later in its walk
            ASSERT_GE(OpenAndClose(command, i % 4), 0) << "no page for " << command;
        }
        EXPECT_EQ(QApplication::topLevelWidgets().size(), windows) << "a closed page stayed";

        // Nothing is stuck: the page still loads in full, and the switch
        // answers the next session at once.
        auto page = OpenPage(command);
        ASSERT_TRUE(page);
        EXPECT_TRUE(page->OutcomeLine().startsWith(QStringLiteral("Loaded")))
            << page->OutcomeLine().toStdString();
        EXPECT_FALSE(Get(QStringLiteral("1.3.6.1.2.1.1.5.0")).isEmpty());
    }
};

} // namespace

TEST_F(Stress, SwitchingPageOpenedAndClosedDuringItsWalk) {
    CycleFamily("switching");
}
TEST_F(Stress, Mib2PageOpenedAndClosedDuringItsWalk) {
    CycleFamily("mib2");
}
TEST_F(Stress, AgentPageOpenedAndClosedDuringItsWalk) {
    CycleFamily("agent");
}
TEST_F(Stress, ManagementPageOpenedAndClosedDuringItsWalk) {
    CycleFamily("management");
}
TEST_F(Stress, SecurityPageOpenedAndClosedDuringItsWalk) {
    CycleFamily("security");
}
TEST_F(Stress, PoePageOpenedAndClosedDuringItsWalk) {
    CycleFamily("poe");
}
TEST_F(Stress, SystemPageOpenedAndClosedDuringItsWalk) {
    CycleFamily("system");
}
TEST_F(Stress, TrafficPageOpenedAndClosedDuringItsWalk) {
    CycleFamily("traffic");
}
