// The system pages against nsw-sim: each reads the switch, changes it, reads
// it back and shows a refusal.
#include "PageTestKit.h"
#include "pages/switching/Trunk.h"
#include "pages/system/DeviceConfig.h"
#include "pages/system/ManagementVlan.h"
#include "pages/system/PowerSaving.h"
#include "pages/system/Surveillance.h"
#include "pages/system/TimeProfile.h"
#include "platform/ListControl.h"

#include <QComboBox>
#include <QTimer>

namespace {

const QString kE = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.");

class SystemPages : public CPageTestKit {
protected:
    bool MakeVlan(int vid) {
        const QString v = QString::number(vid);
        return Set(kE + "7.6.1.1." + v, "s", "v" + v) && Set(kE + "7.6.1.5." + v, "i", "1");
    }
    // Time range r, 08:00-18:00 on Mondays, through the switch's own table.
    bool MakeRange(int r, const QString& name) {
        const QString i = QString::number(r);
        return Set(kE + "23.1.1.21." + i, "i", "5") && Set(kE + "23.1.1.2." + i, "s", name) &&
               Set(kE + "23.1.1.21." + i, "i", "1");
    }
    static CListControl* List(CPageBase& page, int id) { return page.Control<CListControl>(id); }
};

} // namespace

TEST_F(SystemPages, ManagementVlanIsSetAndRefusedForAVanishedVlan) {
    StartSwitch("NSW-4410-28P B1");
    ASSERT_TRUE(MakeVlan(30));
    ASSERT_TRUE(MakeVlan(40));
    auto page = OpenPage(32854);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "IEEE 802.1Q Management VLAN Configuration");
    using P = CManagementVlanPage;
    EXPECT_EQ(Text(*page, P::kIdVid), "1");
    // A VLAN the switch does not have is refused before anything is sent.
    SetText(*page, P::kIdVid, "31");
    Check(*page, P::kIdEnable, true);
    ResetRequests();
    Click(*page, P::kIdApply);
    EXPECT_EQ(m_boxes.Last(), "The VLAN 31 does not exist, please create it first !");
    EXPECT_EQ(Requests(), 0);

    SetText(*page, P::kIdVid, "30");
    ASSERT_TRUE(Press(*page, P::kIdApply));
    EXPECT_EQ(Get(kE + "41.1.0"), "1");
    EXPECT_EQ(Get(kE + "41.2.0"), "30");
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();
    Shot(*page, "management-vlan");

    // VLAN 40 goes away behind the page's back: the switch refuses it.
    ASSERT_TRUE(Set(kE + "7.6.1.5.40", "i", "6"));
    SetText(*page, P::kIdVid, "40");
    ASSERT_TRUE(Press(*page, P::kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Refused by the switch: inconsistentValue"))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Get(kE + "41.2.0"), "30");
    EXPECT_EQ(Text(*page, P::kIdVid), "30"); // reloaded
}

TEST_F(SystemPages, PowerSavingGlobalAndPortShutOff) {
    StartSwitch("NSW-4410-28P B1");
    ASSERT_TRUE(MakeRange(3, "office"));
    auto page = OpenPage(32850);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Power Saving Settings ");
    using P = CPowerSavingPage;
    EXPECT_TRUE(IsEnabled(*page, P::kIdApplyPorts));
    Check(*page, P::kIdLinkDetect, true);
    Check(*page, P::kIdLedShutOff, true);
    ASSERT_TRUE(Press(*page, P::kIdApplyGlobal));
    EXPECT_EQ(Get(kE + "40.1.0"), "1");
    EXPECT_EQ(Get(kE + "40.2.0"), "2");
    EXPECT_EQ(Get(kE + "40.3.0"), "1");

    // Shut-off without a time range is refused on the page.
    Choose(*page, P::kIdFromPort, 1);
    Choose(*page, P::kIdToPort, 2);
    Choose(*page, P::kIdShutOff, "Enable");
    Click(*page, P::kIdApplyPorts);
    EXPECT_EQ(m_boxes.Last(), "Please choose the Time Range of the Port Shut Off.");
    Choose(*page, P::kIdTimeRange, "office");
    ASSERT_TRUE(Press(*page, P::kIdApplyPorts));
    EXPECT_EQ(Get(kE + "40.5.1.2.2"), "1");
    EXPECT_EQ(Get(kE + "40.5.1.3.3"), "3");
    EXPECT_EQ(Get(kE + "40.5.1.2.4"), "2");
    CListControl* list = List(*page, P::kIdPortList);
    ASSERT_EQ(list->ItemCount(), 28);
    EXPECT_EQ(list->ItemText(1, 1), "Enable");
    EXPECT_EQ(list->ItemText(2, 2), "office");
    Shot(*page, "power-saving");

    // The range is deleted behind the page's back: port 5 is refused by name.
    ASSERT_TRUE(Set(kE + "40.5.1.2.2", "i", "2") && Set(kE + "40.5.1.2.3", "i", "2") &&
                Set(kE + "40.5.1.3.2", "i", "0") && Set(kE + "40.5.1.3.3", "i", "0"));
    ASSERT_TRUE(Set(kE + "23.1.1.21.3", "i", "6"));
    Choose(*page, P::kIdFromPort, 4);
    Choose(*page, P::kIdToPort, 5);
    Choose(*page, P::kIdShutOff, "Enable");
    Choose(*page, P::kIdTimeRange, "office"); // still offered: not refreshed yet
    ASSERT_TRUE(Press(*page, P::kIdApplyPorts));
    EXPECT_TRUE(page->OutcomeLine().contains("Port 5")) << page->OutcomeLine().toStdString();
    EXPECT_EQ(Get(kE + "40.5.1.2.5"), "2");
    EXPECT_EQ(Get(kE + "40.5.1.2.6"), "2"); // the sequence stopped at port 5
}

TEST_F(SystemPages, PowerSavingHasNoPortPartOnOtherModels) {
    StartSwitch("NGX-4600-20");
    auto page = OpenPage(32850);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsEnabled(*page, CPowerSavingPage::kIdApplyPorts));
    EXPECT_TRUE(IsEnabled(*page, CPowerSavingPage::kIdApplyGlobal));
    EXPECT_FALSE(page->OutcomeLine().contains("Not loaded")) << page->OutcomeLine().toStdString();
}

TEST_F(SystemPages, SurveillanceVlanSettingsAndPortModes) {
    StartSwitch("NSW-4410-08P B1");
    ASSERT_TRUE(MakeVlan(50));
    auto page = OpenPage(32828);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Auto Surveillance VLAN Settings");
    using P = CSurveillancePage;
    EXPECT_EQ(Text(*page, P::kIdAging), "720");
    Check(*page, P::kIdEnable, true);
    SetText(*page, P::kIdVid, "4095");
    Click(*page, P::kIdApplyGlobal);
    EXPECT_EQ(m_boxes.Last(), "Invalid VLAN ID, VLAN ID should be (1-4094) !");
    SetText(*page, P::kIdVid, "50");
    SetText(*page, P::kIdAging, "30");
    Choose(*page, P::kIdPriority, "6");
    ASSERT_TRUE(Press(*page, P::kIdApplyGlobal));
    EXPECT_EQ(Get(kE + "26.1.1.0"), "1");
    EXPECT_EQ(Get(kE + "26.1.2.0"), "50");
    EXPECT_EQ(Get(kE + "26.1.3.0"), "6");
    EXPECT_EQ(Get(kE + "26.1.4.0"), "30");

    Choose(*page, P::kIdFromPort, 2);
    Choose(*page, P::kIdToPort, 3);
    Choose(*page, P::kIdMode, "Auto");
    Choose(*page, P::kIdDynamic, "Auto Dynamic");
    ASSERT_TRUE(Press(*page, P::kIdApplyPorts));
    EXPECT_EQ(Get(kE + "34.1.5.1.2.3"), "1");
    EXPECT_EQ(Get(kE + "34.1.5.1.3.4"), "2");
    EXPECT_EQ(Get(kE + "34.1.5.1.2.5"), "2");
    EXPECT_EQ(List(*page, P::kIdPortList)->ItemText(2, 1), "Auto");
    Shot(*page, "surveillance-vlan");

    // The switch keeps the surveillance VLAN: its VLAN cannot be deleted now.
    EXPECT_FALSE(Set(kE + "7.6.1.5.50", "i", "6"));

    // The link-aggregation check reads the same objects: ports 3 and 4 in
    // auto mode cannot be aggregated, ports 6 and 7 can.
    std::vector<std::unique_ptr<CCommonSNMP>> sessions;
    CTrunkValid valid([&sessions](const QString&) -> CCommonSNMP& {
        return *sessions.emplace_back(std::make_unique<CCommonSNMP>());
    });
    ASSERT_TRUE(valid.Init());
    std::vector<int> selected(10, 0);
    selected[2] = selected[3] = 1;
    EXPECT_EQ(valid.Check(selected, {}),
              "Cannot add a port in  Auto Surveillance VLAN Auto mode to an aggregated link");
    selected.assign(10, 0);
    selected[5] = selected[6] = 1;
    EXPECT_EQ(valid.Check(selected, {}), "");
}

TEST_F(SystemPages, SurveillancePortPartOnlyOnItsModel) {
    StartSwitch("NSW-4410-28P B1");
    auto page = OpenPage(32828);
    ASSERT_TRUE(page);
    EXPECT_FALSE(IsEnabled(*page, CSurveillancePage::kIdApplyPorts));
    // "OUI Settings..." opens the vendor list over the page, loaded.
    QString opened;
    int rows = -1;
    QTimer::singleShot(0, [&] {
        auto* oui = qobject_cast<CSurveillanceOuiPage*>(QApplication::activeModalWidget());
        if (!oui)
            return;
        WaitSettled(*oui, 0);
        opened = oui->windowTitle();
        rows = List(*oui, CSurveillanceOuiPage::kIdList)->ItemCount();
        oui->reject();
    });
    Click(*page, CSurveillancePage::kIdOui);
    EXPECT_EQ(opened, "Auto Surveillance VLAN OUI Settings");
    EXPECT_EQ(rows, 2);
}

TEST_F(SystemPages, OuiEntriesAreAddedAndDeleted) {
    StartSwitch("NSW-4410-08P B1");
    auto page = OpenPage(32831);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Auto Surveillance VLAN OUI Settings");
    using P = CSurveillanceOuiPage;
    CListControl* list = List(*page, P::kIdList);
    ASSERT_EQ(list->ItemCount(), 2);
    EXPECT_EQ(list->ItemText(0, 1), "00-40-8C");
    SetText(*page, P::kIdAddress, "00-40-8c");
    Click(*page, P::kIdAdd);
    EXPECT_EQ(m_boxes.Last(), "The OUI has been used, please input again !");
    SetText(*page, P::kIdAddress, "00-11-22");
    SetText(*page, P::kIdDescription, "lobby");
    ASSERT_TRUE(Press(*page, P::kIdAdd));
    EXPECT_EQ(GetHex(kE + "26.2.1.2.3"), "001122");
    EXPECT_EQ(Get(kE + "26.2.1.3.3"), "lobby");
    ASSERT_EQ(list->ItemCount(), 3);
    Shot(*page, "surveillance-oui");

    m_boxes.Clear();
    list->clearSelection();
    Click(*page, P::kIdDelete);
    EXPECT_EQ(m_boxes.Last(), "Please select the OUI to be deleted!");
    list->SelectRow(0);
    ASSERT_TRUE(Press(*page, P::kIdDelete));
    EXPECT_EQ(list->ItemCount(), 2);
    EXPECT_EQ(list->ItemText(0, 2), "Panasonic");
}

TEST_F(SystemPages, TimeProfilesAreAddedChangedAndKeptWhileInUse) {
    StartSwitch("NSW-4410-28 B1"); // no PoE: the time ranges are the switch's own
    auto page = OpenPage(32849);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Time Profile Info");
    using P = CTimeProfilePage;
    SetText(*page, P::kIdName, "office");
    Click(*page, P::kIdAdd);
    EXPECT_EQ(m_boxes.Last(), "Please choose at least one day.");
    Check(*page, P::kIdMonday, true);
    Check(*page, P::kIdMonday + 4, true);
    Choose(*page, P::kIdStartHour, "08");
    Choose(*page, P::kIdEndHour, "18");
    Choose(*page, P::kIdEndMinute, "00");
    ASSERT_TRUE(Press(*page, P::kIdAdd));
    EXPECT_EQ(Get(kE + "23.1.1.2.1"), "office");
    EXPECT_EQ(Get(kE + "23.1.1.7.1"), "8");
    EXPECT_EQ(Get(kE + "23.1.1.18.1"), "1"); // Friday
    EXPECT_EQ(Get(kE + "32.1.1.2.1"), "office");
    CListControl* list = List(*page, P::kIdList);
    ASSERT_EQ(list->ItemCount(), 1);
    EXPECT_EQ(list->ItemText(0, 2), "Mon,Fri,");
    EXPECT_EQ(list->ItemText(0, 3), "08:00");

    list->SelectRow(0);
    Choose(*page, P::kIdEndHour, "20");
    ASSERT_TRUE(Press(*page, P::kIdModify));
    EXPECT_EQ(Get(kE + "23.1.1.12.1"), "20");
    EXPECT_EQ(list->ItemText(0, 4), "20:00");
    Shot(*page, "time-profile");

    // A port follows the range: the switch keeps it.
    ASSERT_TRUE(Set(kE + "40.5.1.3.6", "i", "1"));
    list->SelectRow(0);
    ASSERT_TRUE(Press(*page, P::kIdDelete));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Refused by the switch: inconsistentValue"))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(list->ItemCount(), 1);
    ASSERT_TRUE(Set(kE + "40.5.1.3.6", "i", "0"));
    list->SelectRow(0);
    ASSERT_TRUE(Press(*page, P::kIdDelete));
    EXPECT_EQ(list->ItemCount(), 0);
}

TEST_F(SystemPages, DeviceConfigurationFromTheDescription) {
    StartSwitch("NSW-4410-28P B1");
    SetDeviceConfigDirectory(QStringLiteral(NSW_SOURCE_DIR "/res/devconfig"));
    auto page = OpenPage(32775);
    SetDeviceConfigDirectory({});
    ASSERT_TRUE(page);
    EXPECT_EQ(page->windowTitle(), "Device Configure");
    auto& dc = As<CDeviceConfigPage>(*page);
    ASSERT_EQ(dc.DescriptionError(), "");
    auto id = [&dc](const QString& desc) {
        for (const SDevConfigItem& item : dc.Items())
            if (item.desc == desc)
                return CDeviceConfigPage::kIdFirstField + item.index;
        ADD_FAILURE() << "no field " << desc.toStdString();
        return 0;
    };
    EXPECT_EQ(Text(*page, id("System Name")), Get("1.3.6.1.2.1.1.5.0"));
    EXPECT_FALSE(IsEnabled(*page, id("System Description")));
    EXPECT_EQ(Text(*page, id("Rapid Spanning Tree")), "Disabled");

    // Checked by TYPE before anything is sent.
    SetText(*page, id("Syslog Port"), "70000");
    ResetRequests();
    Click(*page, CDeviceConfigPage::kIdApply);
    EXPECT_EQ(m_boxes.Last(), "Invalid Syslog Port, the valid range is (1-65535) !");
    EXPECT_EQ(Requests(), 0);

    SetText(*page, id("Syslog Port"), "1514");
    SetText(*page, id("System Name"), "lab-switch");
    Choose(*page, id("Rapid Spanning Tree"), "Enabled");
    ASSERT_TRUE(Press(*page, CDeviceConfigPage::kIdApply));
    EXPECT_EQ(Get(kE + "16.1.2.0"), "1514");
    EXPECT_EQ(Get("1.3.6.1.2.1.1.5.0"), "lab-switch");
    EXPECT_EQ(Get(kE + "6.1.1.0"), "1");
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();
    Shot(*page, "device-configure");

    // The switch refuses a management VLAN it does not have.
    Choose(*page, id("Management VLAN"), "Enabled");
    SetText(*page, id("Management VLAN ID"), "77");
    ASSERT_TRUE(Press(*page, CDeviceConfigPage::kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Refused by the switch"))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Text(*page, id("Management VLAN")), "Disabled");
}

TEST_F(SystemPages, HostileDescriptionGivesAMessageAndAnEmptyPage) {
    StartSwitch("NSW-4410-28P B1");
    CDeviceConfigPage page("<!DOCTYPE x [<!ENTITY a \"a\">]><DEVICECONFIG>&a;</DEVICECONFIG>",
                           "bad.xml");
    page.show();
    ASSERT_TRUE(WaitSettled(page, 0));
    EXPECT_TRUE(page.Items().empty());
    EXPECT_EQ(m_boxes.Last(),
              "The device description file cannot be used: the file declares a DTD or entities.");
    EXPECT_FALSE(IsEnabled(page, CDeviceConfigPage::kIdApply));
    EXPECT_EQ(page.OutcomeLine(), "Not loaded: the file declares a DTD or entities");
}
