// The SNMP agent pages against nsw-sim: rows made on the pages are the
// switch's access at once, deleted ones stop working, scalars are written.
#include "pages/agent/AgentPages.h"
#include "PageTestKit.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"

namespace {

constexpr int kGlobalState = 32839;
constexpr int kHostTable = 32840;
constexpr int kUserTable = 32841;
constexpr int kGroupTable = 32842;
constexpr int kViewTable = 32843;
constexpr int kCommunityTable = 32844;
constexpr int kEngineId = 32845;
constexpr int kTraps = 32846;
const QString kModel = QStringLiteral("NSW-4410-28P B1");
const QString kSysDescr = QStringLiteral("1.3.6.1.2.1.1.1.0");
const QString kAgent = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.25.");

class AgentPages : public CPageTestKit {
protected:
    static CListControl* ListOf(CPageBase& page) {
        return page.Control<CListControl>(CAgentTablePage::kIdList);
    }
    // The list row whose first column reads text, -1 when none.
    static int RowOf(CPageBase& page, const QString& text) {
        CListControl* list = ListOf(page);
        for (int r = 0; list && r < list->ItemCount(); ++r)
            if (list->ItemText(r, 0) == text)
                return r;
        return -1;
    }
    // Selects the row and presses "&Delete"; false when the row is not listed.
    bool DeleteRow(CPageBase& page, const QString& text) {
        const int row = RowOf(page, text);
        if (row < 0)
            return false;
        ListOf(page)->SelectRow(row);
        return Press(page, CAgentTablePage::kIdDelete);
    }
    // A check refused the entry: its message shown, nothing sent.
    void ExpectRefused(CPageBase& page, const QString& message) {
        ResetRequests();
        m_boxes.Clear();
        Click(page, CAgentTablePage::kIdApply);
        EXPECT_EQ(m_boxes.Last(), message);
        EXPECT_EQ(Requests(), 0);
    }
    int V3Walk(const QStringList& credentials, QString* out) const {
        return m_sim.Tool(QStringLiteral("snmpwalk"),
                          QStringList{"-v3", "-t", "1", "-r", "0", "-Oqv"} << credentials,
                          {QStringLiteral("1.3.6.1.2.1.2.2.1.2")}, out);
    }
};

TEST_F(AgentPages, UserMadeOnThePageWalksTheInterfaces) {
    StartSwitch(kModel);
    auto page = OpenPage(kUserTable);
    ASSERT_TRUE(page);
    // The launch credentials are rows: the kit's v3 user and both communities.
    ASSERT_GE(RowOf(*page, kV3User), 0);
    EXPECT_EQ(ListOf(*page)->ItemText(RowOf(*page, kV3User), 4), "AES");
    EXPECT_EQ(ListOf(*page)->ItemText(RowOf(*page, QStringLiteral("ralvin")), 2), "V2c");

    // "encrypted" only for V3; the priv password only with DES.
    Choose(*page, CUserTablePage::kIdVersion, QStringLiteral("V2c"));
    EXPECT_FALSE(IsEnabled(*page, CUserTablePage::kIdEncrypted));
    Choose(*page, CUserTablePage::kIdVersion, QStringLiteral("V3"));
    EXPECT_TRUE(IsEnabled(*page, CUserTablePage::kIdEncrypted));
    EXPECT_FALSE(IsEnabled(*page, CUserTablePage::kIdAuthPassword));
    Check(*page, CUserTablePage::kIdEncrypted, true);
    EXPECT_TRUE(IsEnabled(*page, CUserTablePage::kIdAuthPassword));
    Choose(*page, CUserTablePage::kIdPriv, QStringLiteral("None"));
    EXPECT_FALSE(IsEnabled(*page, CUserTablePage::kIdPrivPassword));
    Choose(*page, CUserTablePage::kIdPriv, QStringLiteral("DES"));
    EXPECT_TRUE(IsEnabled(*page, CUserTablePage::kIdPrivPassword));

    SetText(*page, CUserTablePage::kIdName, QStringLiteral("pageuser"));
    SetText(*page, CUserTablePage::kIdGroup, QStringLiteral("WriteGroup"));
    Choose(*page, CUserTablePage::kIdAuth, QStringLiteral("SHA"));
    SetText(*page, CUserTablePage::kIdAuthPassword, QString(41, u's'));
    SetText(*page, CUserTablePage::kIdPrivPassword, QStringLiteral("pagepriv1"));
    ExpectRefused(*page, QStringLiteral(" SHA Max. Password length is 40."));
    SetText(*page, CUserTablePage::kIdAuthPassword, QString(40, u's'));
    ASSERT_TRUE(Press(*page, CAgentTablePage::kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith(QStringLiteral("Applied"))) << page->OutcomeLine();
    EXPECT_EQ(Get(kAgent + QStringLiteral("2.1.1.8.8.112.97.103.101.117.115.101.114")), "1");
    ASSERT_GE(RowOf(*page, QStringLiteral("pageuser")), 0);
    Shot(*page, QStringLiteral("agent-users"));

    const QStringList user{"-u", "pageuser",        "-l", "authPriv", "-a", "SHA",
                           "-A", QString(40, u's'), "-x", "DES",      "-X", "pagepriv1"};
    QString out;
    ASSERT_EQ(V3Walk(user, &out), 0);
    EXPECT_EQ(out.count(u'\n'), 28) << out.toStdString();

    // The same name again is refused by the list before anything is sent.
    SetText(*page, CUserTablePage::kIdName, QStringLiteral("pageuser"));
    SetText(*page, CUserTablePage::kIdGroup, QStringLiteral("WriteGroup"));
    Check(*page, CUserTablePage::kIdEncrypted, false);
    ExpectRefused(*page, QStringLiteral("This User Entry already exists."));

    // "ralvin" as V3 passes the list's check (it is listed as V2c), but the
    // switch keeps one row per name: the first step is refused, said so, and
    // the existing row is left as it was.
    SetText(*page, CUserTablePage::kIdName, QStringLiteral("ralvin"));
    SetText(*page, CUserTablePage::kIdGroup, QStringLiteral("WriteGroup"));
    ASSERT_TRUE(Press(*page, CAgentTablePage::kIdApply));
    EXPECT_TRUE(
        page->OutcomeLine().startsWith(QStringLiteral("Step 1 of 5 (createAndWait) not applied")))
        << page->OutcomeLine();
    EXPECT_EQ(Get(kAgent + QStringLiteral("2.1.1.3.6.114.97.108.118.105.110")), "2");
    EXPECT_EQ(Get(kAgent + QStringLiteral("2.1.1.2.6.114.97.108.118.105.110")), "ReadGroup");

    ASSERT_TRUE(DeleteRow(*page, QStringLiteral("pageuser")));
    EXPECT_LT(RowOf(*page, QStringLiteral("pageuser")), 0);
    EXPECT_NE(V3Walk(user, &out), 0);
    ListOf(*page)->clearSelection();
    m_boxes.Clear();
    Click(*page, CAgentTablePage::kIdDelete);
    EXPECT_EQ(m_boxes.Last(), "Please select the item would be delete!\n");
}

TEST_F(AgentPages, CommunityMadeOnThePageAnswersAndStopsWhenDeleted) {
    StartSwitch(kModel);
    auto page = OpenPage(kCommunityTable);
    ASSERT_TRUE(page);
    EXPECT_GE(RowOf(*page, QStringLiteral("quorbet")), 0);
    EXPECT_FALSE(IsEnabled(*page, CAgentTablePage::kIdApply));
    Click(*page, CAgentTablePage::kIdAdd);
    EXPECT_TRUE(IsEnabled(*page, CAgentTablePage::kIdApply));
    SetText(*page, CCommunityTablePage::kIdName, QStringLiteral("page.comm"));
    ExpectRefused(*page, QStringLiteral("Invalid Community Name."));
    SetText(*page, CCommunityTablePage::kIdName, QStringLiteral("pagecomm"));
    Choose(*page, CCommunityTablePage::kIdUser, QStringLiteral("ralvin"));
    ASSERT_TRUE(Press(*page, CAgentTablePage::kIdApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith(QStringLiteral("Applied"))) << page->OutcomeLine();
    EXPECT_FALSE(IsEnabled(*page, CAgentTablePage::kIdApply));
    ASSERT_GE(RowOf(*page, QStringLiteral("pagecomm")), 0);
    EXPECT_EQ(ListOf(*page)->ItemText(RowOf(*page, QStringLiteral("pagecomm")), 1), "ralvin");
    Shot(*page, QStringLiteral("agent-communities"));

    EXPECT_FALSE(m_sim.Get(kSysDescr, QStringLiteral("pagecomm")).isEmpty());
    // The view policy of "ralvin" reads only.
    EXPECT_FALSE(
        m_sim.Set(QStringLiteral("1.3.6.1.2.1.1.5.0"), "s", "x", QStringLiteral("pagecomm")));
    ASSERT_TRUE(DeleteRow(*page, QStringLiteral("pagecomm")));
    EXPECT_TRUE(m_sim.Get(kSysDescr, QStringLiteral("pagecomm")).isEmpty());
}

TEST_F(AgentPages, GroupAndViewLimitWhatACommunitySees) {
    StartSwitch(kModel);
    auto views = OpenPage(kViewTable);
    ASSERT_TRUE(views);
    SetText(*views, CViewTablePage::kIdName, QStringLiteral("sys"));
    SetText(*views, CViewTablePage::kIdSubtree, QStringLiteral("1.3.6.1.2.1.1"));
    SetText(*views, CViewTablePage::kIdMask, QStringLiteral("11111111"));
    ExpectRefused(*views, QStringLiteral("Invalid  OID length"));
    SetText(*views, CViewTablePage::kIdMask, QStringLiteral("1111111"));
    ASSERT_TRUE(Press(*views, CAgentTablePage::kIdApply));
    EXPECT_EQ(Get(kAgent + QStringLiteral("4.1.1.5.3.115.121.115.7.1.3.6.1.2.1.1")), "1");
    ASSERT_GE(RowOf(*views, QStringLiteral("sys")), 0);
    EXPECT_EQ(ListOf(*views)->ItemText(RowOf(*views, QStringLiteral("sys")), 1), "1.3.6.1.2.1.1");
    Shot(*views, QStringLiteral("agent-views"));

    auto groups = OpenPage(kGroupTable);
    ASSERT_TRUE(groups);
    SetText(*groups, CGroupTablePage::kIdName, QStringLiteral("g"));
    SetText(*groups, CGroupTablePage::kIdReadView, QStringLiteral("sys"));
    Choose(*groups, CGroupTablePage::kIdModel, QStringLiteral("v2c"));
    ASSERT_TRUE(Press(*groups, CAgentTablePage::kIdApply));
    // "g" with v2c lives at 1.103.2.
    EXPECT_EQ(Get(kAgent + QStringLiteral("3.1.1.7.1.103.2")), "1");
    EXPECT_EQ(Get(kAgent + QStringLiteral("3.1.1.2.1.103.2")), "sys");
    Shot(*groups, QStringLiteral("agent-groups"));

    // A V2c user of the group and a community with its policy.
    auto users = OpenPage(kUserTable);
    ASSERT_TRUE(users);
    SetText(*users, CUserTablePage::kIdName, QStringLiteral("viewer"));
    SetText(*users, CUserTablePage::kIdGroup, QStringLiteral("g"));
    Choose(*users, CUserTablePage::kIdVersion, QStringLiteral("V2c"));
    ASSERT_TRUE(Press(*users, CAgentTablePage::kIdApply));
    auto communities = OpenPage(kCommunityTable);
    ASSERT_TRUE(communities);
    Click(*communities, CAgentTablePage::kIdAdd);
    SetText(*communities, CCommunityTablePage::kIdName, QStringLiteral("look"));
    Choose(*communities, CCommunityTablePage::kIdUser, QStringLiteral("viewer"));
    ASSERT_TRUE(Press(*communities, CAgentTablePage::kIdApply));
    EXPECT_FALSE(m_sim.Get(kSysDescr, QStringLiteral("look")).isEmpty());
    // Outside the view the object does not exist.
    EXPECT_TRUE(m_sim.Get(QStringLiteral("1.3.6.1.2.1.2.1.0"), QStringLiteral("look"))
                    .startsWith(QStringLiteral("No Such Object")));

    // Without its group the community reaches nothing.
    ASSERT_TRUE(DeleteRow(*groups, QStringLiteral("g")));
    EXPECT_EQ(Get(kAgent + QStringLiteral("3.1.1.7.1.103.2")), "");
    EXPECT_TRUE(m_sim.Get(kSysDescr, QStringLiteral("look")).isEmpty());
    ASSERT_TRUE(DeleteRow(*views, QStringLiteral("sys")));
    EXPECT_LT(RowOf(*views, QStringLiteral("sys")), 0);
}

TEST_F(AgentPages, HostRowMadeAndDeleted) {
    StartSwitch(kModel);
    auto page = OpenPage(kHostTable);
    ASSERT_TRUE(page);
    auto* address = page->Control<CIpAddressEdit>(CHostTablePage::kIdAddress);
    ASSERT_TRUE(address);
    SetText(*page, CHostTablePage::kIdCommunity, QStringLiteral("ralvin"));
    ExpectRefused(*page, QStringLiteral("Invalid Host IP."));
    address->SetAddress(QStringLiteral("10.0.0.8"));
    Choose(*page, CHostTablePage::kIdVersion, QStringLiteral("V3-AuthPriv"));
    ASSERT_TRUE(Press(*page, CAgentTablePage::kIdApply));
    EXPECT_EQ(Get(kAgent + QStringLiteral("6.1.1.2.10.0.0.8")), "5");
    EXPECT_EQ(Get(kAgent + QStringLiteral("6.1.1.3.10.0.0.8")), "ralvin");
    ASSERT_GE(RowOf(*page, QStringLiteral("10.0.0.8")), 0);
    EXPECT_EQ(ListOf(*page)->ItemText(0, 1), "V3-AuthPriv");
    Shot(*page, QStringLiteral("agent-hosts"));
    address->SetAddress(QStringLiteral("10.0.0.8"));
    ExpectRefused(*page, QStringLiteral("This IP Address has used,please enter other IP Address"));
    ASSERT_TRUE(DeleteRow(*page, QStringLiteral("10.0.0.8")));
    EXPECT_EQ(ListOf(*page)->ItemCount(), 0);
}

TEST_F(AgentPages, GlobalStateTurnsTheAgentOff) {
    StartSwitch(kModel);
    auto page = OpenPage(kGlobalState);
    ASSERT_TRUE(page);
    EXPECT_TRUE(IsChecked(*page, CGlobalStatePage::kIdEnable));
    Shot(*page, QStringLiteral("agent-global"));
    Check(*page, CGlobalStatePage::kIdEnable, false);
    ASSERT_TRUE(Press(*page, CGlobalStatePage::kIdApply));
    // Written, and the switch answers nobody but the control community now.
    EXPECT_EQ(m_sim.Get(kAgent + QStringLiteral("1.0"), CSimProcess::kControlCommunity), "2");
    EXPECT_TRUE(page->OutcomeLine().contains(QStringLiteral("no answer"))) << page->OutcomeLine();
    EXPECT_TRUE(Get(kSysDescr).isEmpty());
    ASSERT_TRUE(
        m_sim.Set(kAgent + QStringLiteral("1.0"), "i", "1", CSimProcess::kControlCommunity));
    EXPECT_FALSE(Get(kSysDescr).isEmpty());
}

TEST_F(AgentPages, EngineIdTextDefaultAndRefusal) {
    StartSwitch(kModel);
    auto page = OpenPage(kEngineId);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, CEngineIdPage::kIdEngineId), kDefaultEngineId);
    SetText(*page, CEngineIdPage::kIdEngineId, QStringLiteral("123456789"));
    ResetRequests();
    Click(*page, CEngineIdPage::kIdApply);
    EXPECT_EQ(m_boxes.Last(), "ID length is 10-64");
    EXPECT_EQ(Requests(), 0);
    SetText(*page, CEngineIdPage::kIdEngineId, QStringLiteral("0123456789A"));
    ASSERT_TRUE(Press(*page, CEngineIdPage::kIdApply));
    EXPECT_EQ(GetHex(kAgent + QStringLiteral("7.0")), "00123456789a");
    EXPECT_EQ(Text(*page, CEngineIdPage::kIdEngineId), "00123456789a");
    Shot(*page, QStringLiteral("agent-engine"));
    ASSERT_TRUE(Press(*page, CEngineIdPage::kIdDefault));
    EXPECT_EQ(GetHex(kAgent + QStringLiteral("7.0")), kDefaultEngineId);
}

TEST_F(AgentPages, TrapSwitchesEightWithPoeFiveWithout) {
    StartSwitch(kModel);
    auto page = OpenPage(kTraps);
    ASSERT_TRUE(page);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(IsEnabled(*page, CTrapPage::kIdFirstTrap + i) &&
                    IsChecked(*page, CTrapPage::kIdFirstTrap + i));
    Check(*page, CTrapPage::kIdFirstTrap + 1, false);
    Check(*page, CTrapPage::kIdFirstTrap + 7, false);
    ASSERT_TRUE(Press(*page, CTrapPage::kIdApply));
    EXPECT_EQ(Get(kAgent + QStringLiteral("8.2.0")), "2");
    EXPECT_EQ(Get(kAgent + QStringLiteral("8.8.0")), "2");
    EXPECT_EQ(Get(kAgent + QStringLiteral("8.1.0")), "1");
    Shot(*page, QStringLiteral("agent-traps-poe"));
    page.reset();
    m_sim.Stop();

    StartSwitch(QStringLiteral("NSW-4410-28 B1"));
    ASSERT_TRUE(Set(kAgent + QStringLiteral("8.6.0"), "i", "2"));
    auto plain = OpenPage(kTraps);
    ASSERT_TRUE(plain);
    for (int i = 5; i < 8; ++i)
        EXPECT_FALSE(IsEnabled(*plain, CTrapPage::kIdFirstTrap + i));
    Check(*plain, CTrapPage::kIdFirstTrap, false);
    ASSERT_TRUE(Press(*plain, CTrapPage::kIdApply));
    EXPECT_EQ(Get(kAgent + QStringLiteral("8.1.0")), "2");
    // The PoE switches are not written on this model.
    EXPECT_EQ(Get(kAgent + QStringLiteral("8.6.0")), "2");
    Shot(*plain, QStringLiteral("agent-traps"));
}

} // namespace
