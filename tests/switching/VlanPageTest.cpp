#include "SimPage.h"
#include "device/LaunchSettings.h"
#include "pages/switching/Vlan.h"
#include "platform/ListControl.h"

#include <QCheckBox>
#include <QTest>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kVlan = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.");
const QString kMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.5.0");
const QString kPvid = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.7.1.1.");
const QString kMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.");
const QString kTrunkMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3.");
const QString kVoice = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.21.1.");
const QString kSurveillance = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.26.1.");

class VlanPage : public CSimPageTest {
protected:
    std::unique_ptr<CVlanPage> Open() {
        auto page = std::make_unique<CVlanPage>();
        QSignalSpy loaded(page.get(), &CVlanPage::Loaded);
        page->show();
        EXPECT_TRUE(WaitFor(loaded));
        return page;
    }
    static bool Reloaded(CVlanPage& page) {
        QSignalSpy loaded(&page, &CVlanPage::Loaded);
        return !page.IsLoading() || WaitFor(loaded);
    }
    static int RowOf(CVlanPage& page, int vid) {
        for (int row = 0; row < page.List()->ItemCount(); ++row)
            if (page.List()->ItemText(row, 0).toInt() == vid)
                return row;
        return -1;
    }
    // A VLAN made directly on the switch: name, egress and untagged (hex), active.
    void MakeVlan(int vid, const QString& name, const QString& egress, const QString& untagged) {
        const QString index = QString::number(vid);
        ASSERT_TRUE(Set(kVlan + "1." + index, "s", name));
        ASSERT_TRUE(Set(kVlan + "2." + index, "x", egress));
        ASSERT_TRUE(Set(kVlan + "4." + index, "x", untagged));
        ASSERT_TRUE(Set(kVlan + "5." + index, "i", "1"));
    }
};

} // namespace

TEST_F(VlanPage, AddEditAndDeleteAVlan) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    auto page = Open();
    ASSERT_EQ(page->List()->ItemCount(), 1);
    EXPECT_EQ(page->List()->ItemText(0, 1), "default");
    EXPECT_EQ(page->List()->ItemText(0, 2), "28");
    EXPECT_EQ(page->List()->ItemText(0, 3), "1-28");

    const QString name = QString::fromUtf8("Büro Ost");
    ASSERT_TRUE(WithModal<CVlanEditDlg>([&] { page->OnAdd(); },
                                        [&](CVlanEditDlg& editor) {
                                            editor.VidEdit()->setText("100");
                                            editor.NameEdit()->setText(name);
                                            // ports 1-2 untagged, 3 tagged, by their boxes
                                            editor.Control<QCheckBox>(3501)->click();
                                            editor.Control<QCheckBox>(3502)->click();
                                            editor.Control<QCheckBox>(3003)->click();
                                            EXPECT_TRUE(editor.Submit());
                                        }));
    EXPECT_TRUE(m_boxes.Texts().isEmpty());
    EXPECT_EQ(GetHex(kVlan + "1.100"), "42c3bc726f204f7374"); // UTF-8 on the wire
    EXPECT_EQ(GetHex(kVlan + "2.100"), "e0000000");
    EXPECT_EQ(GetHex(kVlan + "4.100"), "c0000000");
    EXPECT_EQ(Get(kVlan + "5.100"), "1");
    ASSERT_TRUE(Reloaded(*page));
    int row = RowOf(*page, 100);
    ASSERT_GE(row, 0);
    EXPECT_EQ(page->List()->ItemText(row, 1), name);
    EXPECT_EQ(page->List()->ItemText(row, 2), "3");
    EXPECT_EQ(page->List()->ItemText(row, 3), "1-3");
    EXPECT_EQ(page->List()->ItemText(row, 4), "1-2");

    // Edit: port 2 leaves the untagged list, port 3 leaves the VLAN, port 4 joins untagged.
    page->List()->SelectRow(row);
    ASSERT_TRUE(WithModal<CVlanEditDlg>([&] { page->OnEdit(); },
                                        [&](CVlanEditDlg& editor) {
                                            EXPECT_EQ(editor.VidEdit()->text(), "100");
                                            EXPECT_TRUE(editor.VidEdit()->isReadOnly());
                                            EXPECT_EQ(editor.NameEdit()->text(), name);
                                            EXPECT_EQ(editor.Membership()[0], kUntagged);
                                            EXPECT_EQ(editor.Membership()[2], kTagged);
                                            editor.Control<QCheckBox>(3002)->click();
                                            editor.Control<QCheckBox>(4003)->click();
                                            editor.Control<QCheckBox>(3504)->click();
                                            // one box of three per port
                                            EXPECT_FALSE(
                                                editor.Control<QCheckBox>(3502)->isChecked());
                                            EXPECT_TRUE(editor.Submit());
                                        }));
    EXPECT_EQ(GetHex(kVlan + "2.100"), "d0000000");
    EXPECT_EQ(GetHex(kVlan + "4.100"), "90000000");
    ASSERT_TRUE(Reloaded(*page));
    row = RowOf(*page, 100);
    EXPECT_EQ(page->List()->ItemText(row, 3), "1-2,4");
    EXPECT_EQ(page->List()->ItemText(row, 4), "1,4");

    // Delete, after the question with the VID.
    page->List()->SelectRow(row);
    EXPECT_TRUE(page->OnDelete());
    EXPECT_EQ(m_boxes.Last(), "The VLAN 100 settings in IGMP Snooping and MAC Address Table maybe "
                              "be affected, continue?");
    EXPECT_TRUE(Get(kVlan + "5.100").startsWith("No Such Instance"));
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_EQ(RowOf(*page, 100), -1);
}

TEST_F(VlanPage, OnlyActiveRowsAreListedAndRefusalsSendNothing) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    MakeVlan(20, "cams", "0f000000", "00000000");
    MakeVlan(30, "phones", "00f00000", "00000000");
    ASSERT_TRUE(Set(kVlan + "1.40", "s", "waiting")); // named, never activated
    ASSERT_TRUE(Set(kVoice + "3.0", "i", "30"));
    ASSERT_TRUE(Set(kVoice + "1.0", "i", "1"));
    ASSERT_TRUE(Set(kSurveillance + "2.0", "i", "20"));
    ASSERT_TRUE(Set(kSurveillance + "1.0", "i", "1"));
    ASSERT_TRUE(Set(kMembers + "1", "x", "00000300")); // ports 23 and 24
    ASSERT_TRUE(Set(kTrunkMode + "1", "i", "2"));
    auto page = Open();
    ASSERT_EQ(page->List()->ItemCount(), 3);
    EXPECT_EQ(RowOf(*page, 40), -1);
    const int sets = SetRequests();

    EXPECT_FALSE(page->OnDelete());
    EXPECT_EQ(m_boxes.Last(), "Please select the VLAN want to be deleted!");
    page->List()->SelectRow(RowOf(*page, 1));
    EXPECT_FALSE(page->OnDelete());
    EXPECT_EQ(m_boxes.Last(), "Can't delete the default VLAN!");
    page->List()->SelectRow(RowOf(*page, 30));
    EXPECT_FALSE(page->OnDelete());
    EXPECT_EQ(m_boxes.Last(), "The VLAN ID is Voice VLAN ID.");
    page->List()->SelectRow(RowOf(*page, 20));
    EXPECT_FALSE(page->OnDelete());
    EXPECT_EQ(m_boxes.Last(), "The VLAN ID is Surveillance VLAN ID.");

    // Editing the surveillance VLAN asks first; Cancel opens no editor.
    m_boxes.SetAnswer(QMessageBox::Cancel);
    page->OnEdit();
    EXPECT_EQ(m_boxes.Last(), "It is Surveillance VLAN,please don't edit ports except it's Tagged "
                              "Uplink/Downlink Port.");
    m_boxes.SetAnswer(QMessageBox::Ok);

    // Mode: refused while the voice VLAN is on; the box goes back.
    page->Control<QCheckBox>(1008)->setChecked(true);
    EXPECT_FALSE(page->ApplyMode());
    EXPECT_EQ(m_boxes.Last(),
              "Voice Vlan is enable,the vlan mode can't change to Asymmetric mode!\nIf "
              "you could disable it, please set it through the web!");
    EXPECT_FALSE(page->Control<QCheckBox>(1008)->isChecked());

    // The editor refuses before writing.
    page->List()->SelectRow(RowOf(*page, 30));
    struct Case {
        const char* vid;
        const char* name;
        int port;
        int box; // first id of the row the port is ticked in
        const char* message;
    } cases[] = {
        {"1", "x", 1, 3001, "Invalid VLAN ID, VLAN ID should be (2-4094) !"},
        {"4095", "x", 1, 3001, "Invalid VLAN ID, VLAN ID should be (2-4094) !"},
        {"20", "x", 1, 3001, "The VLAN ID has been used, please input again !"},
        {"50", "a.b", 1, 3001, "Invalid Vlan Name."},
        {"50", "x", 1, 4001, "You have to include at least one member in the vlan"},
        {"50", "x", 23, 3001, "Members in VLAN have to be in the same trunk !"},
    };
    for (const Case& c : cases)
        ASSERT_TRUE(
            WithModal<CVlanEditDlg>([&] { page->OnAdd(); },
                                    [&](CVlanEditDlg& editor) {
                                        editor.VidEdit()->setText(c.vid);
                                        editor.NameEdit()->setText(c.name);
                                        editor.Control<QCheckBox>(c.box + c.port - 1)->click();
                                        EXPECT_FALSE(editor.Submit());
                                        EXPECT_EQ(m_boxes.Last(), c.message);
                                    }));
    EXPECT_EQ(SetRequests(), sets);
}

TEST_F(VlanPage, PvidAndAsymmetricMode) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    MakeVlan(20, "cams", "0f000000", "00000000");
    ASSERT_TRUE(Set(kMembers + "1", "x", "00000300")); // ports 23 and 24, static
    ASSERT_TRUE(Set(kTrunkMode + "1", "i", "2"));
    ASSERT_TRUE(Set(kMembers + "2", "x", "000000c0")); // ports 25 and 26, LACP
    ASSERT_TRUE(Set(kTrunkMode + "2", "i", "1"));
    {
        CPvidPage pvid;
        QSignalSpy loaded(&pvid, &CPvidPage::Loaded);
        pvid.show();
        ASSERT_TRUE(WaitFor(loaded));
        CListControl* list = pvid.List();
        ASSERT_EQ(list->ItemCount(), 28);
        EXPECT_EQ(list->ItemText(22, 2), "Trunk1");
        const int sets = SetRequests();
        list->SelectRow(4);
        pvid.PvidEdit()->setText("4095");
        EXPECT_FALSE(pvid.Apply());
        EXPECT_EQ(m_boxes.Last(), "Invalid PVID");
        pvid.PvidEdit()->setText("21");
        EXPECT_FALSE(pvid.Apply());
        EXPECT_EQ(m_boxes.Last(), "Invalid PVID,VlAN is empty");
        list->SelectRow(22);
        pvid.PvidEdit()->setText("20");
        EXPECT_FALSE(pvid.Apply());
        EXPECT_EQ(m_boxes.Last(), "You should let all Trunk member in the same PVID !");
        list->SelectRow(24);
        list->selectionModel()->select(list->model()->index(25, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        EXPECT_FALSE(pvid.Apply());
        EXPECT_EQ(
            m_boxes.Last(),
            "Setting PVID on a Trunk is not supported. Please use Web interface for the settings.");
        EXPECT_EQ(SetRequests(), sets);

        // a single port, then both members of the static trunk in one request
        list->SelectRow(4);
        EXPECT_EQ(pvid.PvidEdit()->text(), "1"); // one port selected: its PVID
        pvid.PvidEdit()->setText("20");
        EXPECT_TRUE(pvid.Apply());
        EXPECT_EQ(Get(kPvid + "5"), "20");
        EXPECT_EQ(list->ItemText(4, 1), "20");
        list->SelectRow(22);
        list->selectionModel()->select(list->model()->index(23, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        pvid.PvidEdit()->setText("20");
        EXPECT_TRUE(pvid.Apply());
        EXPECT_EQ(Get(kPvid + "23"), "20");
        EXPECT_EQ(Get(kPvid + "24"), "20");
        EXPECT_EQ(list->ItemText(23, 1), "20");
    }

    // Asymmetric mode: Cancel sends nothing; OK switches (and the switch resets its VLANs).
    auto page = Open();
    auto* asymmetric = page->Control<QCheckBox>(1008);
    EXPECT_FALSE(asymmetric->isChecked());
    asymmetric->setChecked(true);
    m_boxes.SetAnswer(QMessageBox::Cancel);
    EXPECT_FALSE(page->ApplyMode());
    EXPECT_EQ(m_boxes.Last(), "The setting of VLAN, IGMP Snooping, Management VLAN and MAC Address "
                              "Table will be reset to default.");
    EXPECT_EQ(Get(kMode), "2");
    m_boxes.SetAnswer(QMessageBox::Ok);
    EXPECT_TRUE(page->ApplyMode());
    EXPECT_EQ(Get(kMode), "1");
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_TRUE(asymmetric->isChecked());
    EXPECT_EQ(page->List()->ItemCount(), 1);

    // In asymmetric mode a VLAN that is some port's PVID stays.
    MakeVlan(20, "cams", "0f000000", "00000000");
    ASSERT_TRUE(Set(kPvid + "5", "u", "20"));
    page->Refresh();
    ASSERT_TRUE(Reloaded(*page));
    page->List()->SelectRow(RowOf(*page, 20));
    EXPECT_FALSE(page->OnDelete());
    EXPECT_EQ(m_boxes.Last(), "The VID is one of The PVID, so it cannot be deleted.");
    EXPECT_EQ(Get(kVlan + "5.20"), "1");
}

TEST_F(VlanPage, TheTwoHundredFiftySeventhVlanIsRefused) {
    StartSwitch(QStringLiteral("NSW-4410-08P B1"));
    // VLANs 2 to 256 in requests of 25 VLANs (name and row status each)
    for (int first = 2; first <= 256; first += 25) {
        QStringList rest;
        for (int vid = first; vid < first + 25 && vid <= 256; ++vid)
            rest << kVlan + "1." + QString::number(vid) << "s" << QStringLiteral("v%1").arg(vid)
                 << kVlan + "5." + QString::number(vid) << "i"
                 << "1";
        QString err;
        ASSERT_EQ(m_sim.Tool("snmpset", {"-v2c", "-c", CSimProcess::kWriteCommunity}, rest, nullptr,
                             &err),
                  0)
            << err.toStdString();
    }
    auto page = Open();
    ASSERT_EQ(page->List()->ItemCount(), 256);
    page->OnAdd();
    EXPECT_EQ(m_boxes.Last(), " Number of VLAN group is over limit");
}

TEST_F(VlanPage, ReadOnlyLaunchKeepsTheEditingButtonsOff) {
    StartSwitch(QStringLiteral("NSW-4410-52 B1"));
    g_bVlanEditable = 0;
    auto page = Open();
    for (int id : {1339, 1335, 1336, 1337})
        EXPECT_FALSE(page->Control<QPushButton>(id)->isEnabled()) << id;
    EXPECT_TRUE(page->Control<QPushButton>(1338)->isEnabled());
    page->Refresh();
    ASSERT_TRUE(Reloaded(*page));
    for (int id : {1339, 1335, 1336, 1337})
        EXPECT_FALSE(page->Control<QPushButton>(id)->isEnabled()) << id;
    EXPECT_EQ(page->List()->ItemText(0, 3), "1-52");
}

TEST_F(VlanPage, ARefreshDuringAWalkIsQueuedAndADoubleClickWaits) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    auto page = Open();
    page->Refresh();
    ASSERT_TRUE(page->IsLoading());
    // The list is being filled: a double-click opens nothing.
    emit page->List()->doubleClicked(QModelIndex());
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last().toStdString();
    // A VLAN made while that walk runs is shown by the refresh asked for now.
    MakeVlan(7, "late", "80000000", "00000000");
    page->Refresh();
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_GE(RowOf(*page, 7), 0);
}

TEST_F(VlanPage, UnreadableStateStopsDeleteAndPvidChangesWithoutBlamingTheOperator) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    ASSERT_TRUE(Set(kMode, "i", "1")); // a new mode resets the VLANs: first
    MakeVlan(30, "thirty", "40000000", "00000000");
    auto page = Open();
    ASSERT_TRUE(page->findChild<QCheckBox*>() != nullptr);
    const int row = RowOf(*page, 30);
    ASSERT_GE(row, 0);
    page->List()->SelectRow(row);
    // The switch goes silent for longer than one request waits.
    ASSERT_TRUE(m_sim.SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("3600")));
    EXPECT_FALSE(page->OnDelete());
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << "no question, nothing sent: " << m_boxes.Last().toStdString();
    QTest::qWait(700);
    EXPECT_TRUE(page->OutcomeLine().startsWith("VLAN 30 not deleted: the PVIDs could not be read."))
        << page->OutcomeLine().toStdString();
    EXPECT_EQ(Get(kVlan + "5.30"), "1");

    CPvidPage pvid;
    QSignalSpy loaded(&pvid, &CPvidPage::Loaded);
    pvid.show();
    ASSERT_TRUE(WaitFor(loaded));
    pvid.List()->SelectRow(4);
    pvid.PvidEdit()->setText("30");
    ASSERT_TRUE(m_sim.SetControl(QStringLiteral("4.3.0"), QStringLiteral("i"), QStringLiteral("3600")));
    EXPECT_FALSE(pvid.Apply());
    EXPECT_TRUE(m_boxes.Texts().isEmpty()) << m_boxes.Last().toStdString();
    EXPECT_EQ(Get(kPvid + "5"), "1");
}

TEST_F(VlanPage, ARefusedStepOfTheEditorIsNamedOnThePage) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    auto page = Open();
    // The editor writes with a community that only reads: its first SET is refused.
    g_strWriteCommunity = QString::fromLatin1(CSimProcess::kReadCommunity);
    ASSERT_TRUE(WithModal<CVlanEditDlg>([&] { page->OnAdd(); },
                                        [&](CVlanEditDlg& editor) {
                                            editor.VidEdit()->setText("7");
                                            editor.NameEdit()->setText("seven");
                                            editor.Control<QCheckBox>(3003)->click();
                                            editor.Submit();
                                        }));
    g_strWriteCommunity = QString::fromLatin1(CSimProcess::kWriteCommunity);
    ASSERT_TRUE(Reloaded(*page));
    QTest::qWait(200);
    EXPECT_TRUE(page->OutcomeLine().startsWith("VLAN 7 not saved: step 1 of 4 (name) was refused. Loaded "))
        << page->OutcomeLine().toStdString();
    EXPECT_LT(RowOf(*page, 7), 0);
}
