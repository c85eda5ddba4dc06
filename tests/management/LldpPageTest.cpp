// The LLDP pages against nsw-sim: settings written and read back, MED rows
// of the PoE ports, and neighbours of every identifier subtype.
#include "PageTestKit.h"
#include "platform/ListControl.h"

#include <map>
#include <set>

namespace {

constexpr int kGlobalCommand = 32825, kRemoteCommand = 32826, kMedCommand = 32827;
// Global page.
constexpr int kIdEnable = 1091, kIdApplyState = 1094, kIdHold = 1093, kIdInterval = 1105,
              kIdReinit = 1005, kIdTxDelay = 1008, kIdApplyParameters = 1095,
              kIdChassisSubtype = 3100, kIdChassisId = 3101, kIdSysName = 3102;
// MED page.
constexpr int kIdMedList = 1104, kIdMedApply = 1102, kIdMedFrom = 3110, kIdMedTo = 3111,
              kIdMedTlv = 3112;
// Remote page.
constexpr int kIdCount = 1108, kIdRemoteList = 1099, kIdRemoteRefresh = 1109;

QString Lldp(const QString& suffix) {
    return QStringLiteral("1.3.6.1.4.1.32473.10.75.7.24.") + suffix;
}

class LldpPage : public CPageTestKit {};

TEST_F(LldpPage, GlobalSettingsAndLocalSystem) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto page = OpenPage(kGlobalCommand);
    ASSERT_TRUE(page);
    EXPECT_TRUE(IsChecked(*page, kIdEnable));
    EXPECT_EQ(Text(*page, kIdHold), "4");
    EXPECT_EQ(Text(*page, kIdInterval), "30");
    EXPECT_EQ(Text(*page, kIdChassisSubtype), "macAddress");
    EXPECT_EQ(Text(*page, kIdChassisId), "02-4E-53-57-00-00");
    EXPECT_EQ(Text(*page, kIdSysName), Get(QStringLiteral("1.3.6.1.2.1.1.5.0")));

    // The product rule: refused before anything is sent.
    SetText(*page, kIdHold, QStringLiteral("10"));
    SetText(*page, kIdInterval, QStringLiteral("6554"));
    SetText(*page, kIdReinit, QStringLiteral("3"));
    SetText(*page, kIdTxDelay, QStringLiteral("8"));
    ResetRequests();
    Click(*page, kIdApplyParameters);
    EXPECT_EQ(m_boxes.Last(), "(Message TX Interval * Message TX Hold Multiplier) > 65535.");
    EXPECT_EQ(Requests(), 0);

    SetText(*page, kIdInterval, QStringLiteral("6553"));
    m_boxes.Clear();
    ASSERT_TRUE(Press(*page, kIdApplyParameters));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last();
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded 9 values")) << page->OutcomeLine();
    EXPECT_EQ(Get(Lldp("2.0")), "10");
    EXPECT_EQ(Get(Lldp("3.0")), "6553");
    EXPECT_EQ(Get(Lldp("4.0")), "3");
    EXPECT_EQ(Get(Lldp("5.0")), "8");
    Shot(*page, QStringLiteral("lldp-global"));

    Check(*page, kIdEnable, false);
    ASSERT_TRUE(Press(*page, kIdApplyState));
    EXPECT_EQ(Get(Lldp("1.0")), "2");
    EXPECT_FALSE(IsChecked(*page, kIdEnable));
}

TEST_F(LldpPage, GlobalStateIsTriedAgainAfterAFailedAttempt) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto page = OpenPage(kGlobalCommand);
    ASSERT_TRUE(page);
    // The switch is silent for a while: the first attempt gets no answer,
    // the one after the pause gets through.
    ASSERT_TRUE(SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("2000")));
    Check(*page, kIdEnable, false);
    ASSERT_TRUE(Press(*page, kIdApplyState, 30000));
    EXPECT_EQ(Get(Lldp("1.0")), "2");
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded 9 values")) << page->OutcomeLine();

    // Refused every time: the page shows what the switch holds.
    g_strWriteCommunity = QString::fromLatin1(CSimProcess::kReadCommunity);
    auto readOnly = OpenPage(kGlobalCommand);
    ASSERT_TRUE(readOnly);
    Check(*readOnly, kIdEnable, true);
    ASSERT_TRUE(Press(*readOnly, kIdApplyState, 30000));
    EXPECT_EQ(Get(Lldp("1.0")), "2");
    EXPECT_FALSE(IsChecked(*readOnly, kIdEnable));
    EXPECT_TRUE(readOnly->OutcomeLine().startsWith("Refused by the switch: "))
        << readOnly->OutcomeLine();
}

TEST_F(LldpPage, MedOffersOnlyThePoePortsAndSetsARange) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    auto page = OpenPage(kMedCommand);
    ASSERT_TRUE(page);
    auto* list = page->Control<CListControl>(kIdMedList);
    ASSERT_EQ(list->ItemCount(), 24);
    EXPECT_EQ(page->Control<QComboBox>(kIdMedTo)->count(), 24);
    EXPECT_EQ(page->Control<QComboBox>(kIdMedFrom)->findText(QStringLiteral("25")), -1);

    Choose(*page, kIdMedFrom, QStringLiteral("5"));
    Choose(*page, kIdMedTo, QStringLiteral("3"));
    EXPECT_EQ(m_boxes.Last(), "'To Port' can not be smaller than 'From Port'");
    EXPECT_EQ(Text(*page, kIdMedTo), "5");

    Choose(*page, kIdMedFrom, QStringLiteral("3"));
    Choose(*page, kIdMedTo, QStringLiteral("24"));
    Choose(*page, kIdMedTlv, QStringLiteral("Disable"));
    ASSERT_TRUE(Press(*page, kIdMedApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied. Loaded ")) << page->OutcomeLine();
    EXPECT_EQ(Get(Lldp("8.1.2.2")), "1");
    EXPECT_EQ(Get(Lldp("8.1.2.3")), "2");
    EXPECT_EQ(Get(Lldp("8.1.2.24")), "2");
    EXPECT_EQ(list->ItemText(2, 1), "Disable");
    EXPECT_EQ(list->ItemText(1, 1), "Enable");
    Shot(*page, QStringLiteral("lldp-med"));

    // With LLDP off the page says so and offers nothing.
    ASSERT_TRUE(Set(Lldp("1.0"), QStringLiteral("i"), QStringLiteral("2")));
    auto off = OpenPage(kMedCommand);
    ASSERT_TRUE(off);
    EXPECT_EQ(m_boxes.Last(), "The LLDP is disable ,so can not set LLDP MED !");
    EXPECT_EQ(off->Control<CListControl>(kIdMedList)->ItemCount(), 0);
    EXPECT_EQ(off->Control<QComboBox>(kIdMedFrom)->count(), 0);
}

TEST_F(LldpPage, RemoteNeighboursOfEverySubtype) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"), QStringLiteral("2"),
                {QStringLiteral("--lldp-neighbours"), QStringLiteral("7")});
    auto page = OpenPage(kRemoteCommand);
    ASSERT_TRUE(page);
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last();
    EXPECT_EQ(Text(*page, kIdCount), "7");
    auto* list = page->Control<CListControl>(kIdRemoteList);
    ASSERT_EQ(list->ItemCount(), 7);
    std::set<QString> chassisSubtypes, portSubtypes;
    std::map<QString, QString> chassisIds, portIds; // by subtype text
    for (int r = 0; r < 7; ++r) {
        chassisSubtypes.insert(list->ItemText(r, 2));
        portSubtypes.insert(list->ItemText(r, 4));
        chassisIds[list->ItemText(r, 2)] = list->ItemText(r, 3);
        portIds[list->ItemText(r, 4)] = list->ItemText(r, 5);
    }
    EXPECT_EQ(chassisSubtypes.size(), 7u);
    EXPECT_EQ(portSubtypes.size(), 7u);
    EXPECT_EQ(list->ItemText(0, 0), "1"); // neighbour 1 on port 1
    EXPECT_EQ(list->ItemText(0, 1), "1");
    EXPECT_EQ(chassisIds["macAddress"], "00-1D-AA-00-00-01");
    EXPECT_EQ(chassisIds["networkAddress"], "192.0.2.2");
    EXPECT_EQ(chassisIds["local"], "00 01 FE 03");
    EXPECT_EQ(chassisIds["interfaceName"], "eth7");
    EXPECT_EQ(portIds["macAddress"], "00-1D-AA-00-00-02");
    EXPECT_EQ(portIds["networkAddress"], "2001:db8::3");
    EXPECT_EQ(portIds["interfaceName"].left(6), "ge1/0/");
    EXPECT_EQ(portIds["agentCircuitld"], "01 04 00 00 00 06");
    EXPECT_EQ(portIds["local"], "7");
    Shot(*page, QStringLiteral("lldp-remote"));

    // No neighbours: the message; LLDP off: no walk, the line says why.
    ASSERT_TRUE(SetControl(QStringLiteral("2.5.0"), QStringLiteral("i"), QStringLiteral("0")));
    ASSERT_TRUE(Press(*page, kIdRemoteRefresh));
    EXPECT_EQ(m_boxes.Last(), "There is no LLDP Remote Port");
    EXPECT_EQ(Text(*page, kIdCount), "0");
    m_boxes.Clear();
    ASSERT_TRUE(Set(Lldp("1.0"), QStringLiteral("i"), QStringLiteral("2")));
    ASSERT_TRUE(Press(*page, kIdRemoteRefresh));
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last();
    EXPECT_TRUE(page->OutcomeLine().startsWith("LLDP is disabled on the switch: no remote ports"))
        << page->OutcomeLine();

    // A switch that does not answer.
    ASSERT_TRUE(SetControl(QStringLiteral("2.2.0"), QStringLiteral("i"), QStringLiteral("2")));
    ASSERT_TRUE(Press(*page, kIdRemoteRefresh));
    EXPECT_EQ(m_boxes.Last(), "Get LLDP remote port information unsuccessful!");
    EXPECT_TRUE(page->OutcomeLine().contains("Not loaded: no answer")) << page->OutcomeLine();
}

} // namespace
