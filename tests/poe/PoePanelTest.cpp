// A time range made on the PoE pages switches a port's power off at its end
// time, and the front panel's PoE lamps (and MAX lamp) follow the switch.
#include "PoePageKit.h"
#include "pages/poe/PoePort.h"
#include "pages/poe/TimeRange.h"
#include "panel/ModuleDlg.h"
#include "panel/PanelDeviceThread.h"
#include "panel/PanelStatus.h"
#include "panel/PanelTestKit.h"
#include "snmp/engine/SnmpInit.h"

namespace {

class PoePanel : public CPoePageTest {
protected:
    void SetClock(const QString& when) {
        ASSERT_TRUE(SetControl(QStringLiteral("2.7.0"), QStringLiteral("s"), when));
    }
};

} // namespace

TEST_F(PoePanel, LampGoesOutWhenTheTimeRangeEnds) {
    const QString model = QStringLiteral("NSW-4410-28P B1");
    StartSwitch(model);
    SetClock(QStringLiteral("2026-12-07 09:58:00")); // a Monday

    // The range, through the list and its editor: Mondays 08:00 to 10:00.
    {
        auto ranges = OpenPage(32819);
        ASSERT_TRUE(ranges);
        ASSERT_TRUE(WithModal<CTimeRangeEditDlg>([&] { As<CTimeRangePage>(*ranges).OnAdd(); },
                                                 [&](CTimeRangeEditDlg& editor) {
                                                     SetText(editor, 1073,
                                                             QStringLiteral("morning"));
                                                     Check(editor, 1087, true);
                                                     Choose(editor, 1014, QStringLiteral("8"));
                                                     Choose(editor, 1016, QStringLiteral("10"));
                                                     Choose(editor, 1015, QStringLiteral("0"));
                                                     EXPECT_TRUE(editor.Submit());
                                                 }));
    }
    // Port 4 (a powered device is attached) follows it.
    auto page = OpenPage(32852);
    ASSERT_TRUE(page);
    Choose(*page, 1069, QStringLiteral("4"));
    Choose(*page, 1085, QStringLiteral("morning"));
    ASSERT_TRUE(Press(*page, 242));
    ASSERT_EQ(PortCell(4, 4), "1");
    CListControl* list = List(*page, 201);
    EXPECT_EQ(list->ItemText(3, 2), "morning");
    EXPECT_EQ(list->ItemText(3, 9), "POWER ON");

    // The main window with its polling run by hand.
    SnmpInit(nullptr);
    CModelFolder folder(model);
    CModuleDlg::SOptions options;
    options.strProfilePath = folder.ProfilePath();
    options.bStartPolling = false;
    CModuleDlg dlg(options);
    ASSERT_TRUE(dlg.OnInitDialog());
    dlg.PollingThread()->RunPass();
    EXPECT_EQ(dlg.State().PoeCodeOf(4), PoeCode::kOn);
    EXPECT_EQ(dlg.State().PoeCodeOf(5), PoeCode::kOff) << "no device there";

    SetClock(QStringLiteral("2026-12-07 10:00:00"));
    dlg.PollingThread()->RunPass();
    EXPECT_EQ(dlg.State().PoeCodeOf(4), PoeCode::kOff);
    EXPECT_EQ(dlg.State().PoeCodeOf(1), PoeCode::kOn) << "ports without the range keep power";
    ASSERT_TRUE(Press(*page, 241));
    EXPECT_EQ(list->ItemText(3, 9), "Time-based OFF");
    Shot(*page, "poe-port-time-based-off");

    // Too little power for every device: the MAX lamp, and the port that
    // comes last in the shut-off order goes dark; priority changes that order.
    EXPECT_FALSE(dlg.State().PowMax());
    ASSERT_TRUE(Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.2.0"), "s", "7.1"));
    dlg.PollingThread()->RunPass();
    EXPECT_TRUE(dlg.State().PowMax());
    EXPECT_EQ(dlg.State().PoeCodeOf(1), PoeCode::kOn);
    EXPECT_EQ(dlg.State().PoeCodeOf(7), PoeCode::kOff);
    ASSERT_TRUE(Set(PoePortCell(5, 7), "i", "3"));
    ASSERT_TRUE(Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.3.0"), "i", "2"));
    dlg.PollingThread()->RunPass();
    EXPECT_EQ(dlg.State().PoeCodeOf(7), PoeCode::kOn);
    EXPECT_EQ(dlg.State().PoeCodeOf(1), PoeCode::kOff);
    ASSERT_TRUE(Set(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.2.0"), "s", "185.0"));

    // Next Monday morning the lamp is lit again.
    SetClock(QStringLiteral("2026-12-14 08:00:00"));
    dlg.PollingThread()->RunPass();
    EXPECT_EQ(dlg.State().PoeCodeOf(4), PoeCode::kOn);
}
