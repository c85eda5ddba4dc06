// ARP spoofing prevention: the editor's refusals, and the list and editor
// against the simulator.
#include "pages/security/ArpSpoofing.h"
#include "PageTestKit.h"
#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"

#include <QTimer>

namespace {

constexpr int kArpCommand = 32833;
const QString kArp = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.14.3.1.1.");
const QString kWarning =
    QStringLiteral("Make sure the host IP and MAC exists or you will lose the connection.");

class ArpPage : public CPageTestKit {
protected:
    // Fills the editor and presses its Apply: true when the editor closed
    // (the entry was written), else once its outcome line tells why not.
    bool Add(CArpEntryDlg& editor, const QString& ip, const QString& mac,
             const std::vector<int>& ports) {
        editor.Control<CIpAddressEdit>(1012)->SetAddress(ip);
        SetText(editor, 1139, mac);
        for (int port : ports)
            Check(editor, 6000 + port, true);
        const int before = editor.OutcomeSerial();
        Click(editor, 1000);
        if (editor.result() == QDialog::Accepted)
            return true;
        EXPECT_TRUE(WaitSettled(editor, before));
        return false;
    }
    // n gateways 10.9.0.1 ..., forty to a request.
    void FillTable(int n) {
        for (int first = 1; first <= n; first += 40)
            FillRows(first, std::min(n, first + 39));
    }
    void FillRows(int first, int last) {
        QStringList triples;
        for (int i = first; i <= last; ++i) {
            const QString ip = QStringLiteral("10.9.0.%1").arg(i);
            triples << kArp + "2." + ip << "x"
                    << QStringLiteral("0011223344%1").arg(i, 2, 16, QChar(u'0')) << kArp + "3." + ip
                    << "x"
                    << "40000000" << kArp + "4." + ip << "i"
                    << "4";
        }
        QString out, err;
        ASSERT_EQ(m_sim.Tool(QStringLiteral("snmpset"),
                             {"-v2c", "-c", CSimProcess::kWriteCommunity, "-t", "3", "-r", "1"},
                             triples, &out, &err),
                  0)
            << err.toStdString();
    }
};

} // namespace

TEST(ArpChecks, ListLimitAndEditorRefusalsInOrder) {
    EXPECT_EQ(CheckArpAdd(63), "");
    EXPECT_EQ(CheckArpAdd(64), "The Maximum of Entry is 64, can not add any more");

    const std::vector<int> none(8, 0);
    std::vector<int> two(8, 0);
    two[1] = 1;
    const std::vector<int> noLag(8, 0);
    const std::vector<SArpEntry> listed{{"10.0.0.1", "00-11-22-33-44-55"}};
    const QString mac = QStringLiteral("00-11-22-33-44-66");
    EXPECT_EQ(CheckArpEntry("10.0.0.2", mac, none, {}, noLag), "Invalid Port Number");
    EXPECT_EQ(CheckArpEntry("", mac, two, {}, noLag), "Invalid IP address.");
    EXPECT_EQ(CheckArpEntry("255.255.255.255", mac, two, {}, noLag), "Invalid IP address.");
    EXPECT_EQ(CheckArpEntry("224.0.0.5", mac, two, {}, noLag), "Multicast IP is not allowed");
    EXPECT_EQ(CheckArpEntry("239.1.1.1", mac, two, {}, noLag), "Multicast IP is not allowed");
    EXPECT_EQ(CheckArpEntry("240.1.1.1", mac, two, {}, noLag), "");
    const QString format = QStringLiteral("Please enter correct MAC format(ex:00-00-00-00-00-01)");
    EXPECT_EQ(CheckArpEntry("10.0.0.2", "00-11-22-33-44-6G", two, {}, noLag), format);
    EXPECT_EQ(CheckArpEntry("10.0.0.2", "00:11:22:33:44:66", two, {}, noLag), format);
    EXPECT_EQ(CheckArpEntry("10.0.0.2", "00-00-00-00-00-00", two, {}, noLag), format);
    EXPECT_EQ(CheckArpEntry("10.0.0.2", "ff-FF-ff-FF-ff-FF", two, {}, noLag),
              "Broadcast MAC is not allowed.");
    EXPECT_EQ(CheckArpEntry("10.0.0.2", "01-00-5E-00-00-01", two, {}, noLag),
              "Multicast MAC address is not allowed.");
    EXPECT_EQ(CheckArpEntry("10.0.0.1", "00-11-22-33-44-55", two, listed, noLag),
              "Duplicate MAC and IP.");
    EXPECT_EQ(CheckArpEntry("10.0.0.1", "00-aa-22-33-44-55", two,
                            {{"10.0.0.1", "00-AA-22-33-44-55"}}, noLag),
              "Duplicate MAC and IP.");
    EXPECT_EQ(CheckArpEntry("10.0.0.1", mac, two, listed, noLag), "Duplicate IP.");
    EXPECT_EQ(CheckArpEntry("10.0.0.3", "00-11-22-33-44-55", two, listed, noLag), "");

    // Ports 3 and 4 are one link: both or neither.
    const std::vector<int> lag{0, 0, 1, 1, 0, 0, 0, 0};
    std::vector<int> half(8, 0);
    half[2] = 1;
    EXPECT_EQ(CheckArpEntry("10.0.0.2", mac, half, {}, lag),
              "ARP Spoofing Prevention enabled port must match to the aggregated link port.");
    half[3] = 1;
    EXPECT_EQ(CheckArpEntry("10.0.0.2", mac, half, {}, lag), "");
    EXPECT_EQ(MacTextToBytes("00-1a-2B-3c-4D-5e").toHex(), "001a2b3c4d5e");
}

TEST_F(ArpPage, AddListAndDelete) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    {
        CArpEntryDlg editor(std::vector<SArpEntry>{});
        editor.show();
        ASSERT_TRUE(WaitSettled(editor, 0));
        Click(editor, 1141); // All Ports
        EXPECT_TRUE(IsChecked(editor, 6028));
        Check(editor, 6005, false);
        EXPECT_FALSE(IsChecked(editor, 1141));
        Check(editor, 6005, true);
        EXPECT_TRUE(IsChecked(editor, 1141));
        ASSERT_TRUE(Add(editor, "10.0.0.1", "00-1a-2b-3c-4d-5e", {}));
        EXPECT_EQ(editor.result(), QDialog::Accepted);
        EXPECT_TRUE(m_boxes.Texts().contains(kWarning));
        Shot(editor, QStringLiteral("arp-editor"));
    }
    EXPECT_EQ(Get(kArp + "4.10.0.0.1"), "1");
    EXPECT_EQ(GetHex(kArp + "2.10.0.0.1"), "001a2b3c4d5e");
    EXPECT_EQ(GetHex(kArp + "3.10.0.0.1"), "fffffff0");

    auto page = OpenPage(kArpCommand);
    ASSERT_TRUE(page);
    CListControl* list = As<CArpSpoofingPage>(*page).List();
    ASSERT_EQ(list->ItemCount(), 1);
    EXPECT_EQ(list->ItemText(0, 0), "1");
    EXPECT_EQ(list->ItemText(0, 1), "10.0.0.1");
    EXPECT_EQ(list->ItemText(0, 2), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(list->ItemText(0, 3), "1-28");
    EXPECT_EQ(Text(*page, 1143), "1");
    Shot(*page, QStringLiteral("arp-list"));

    m_boxes.Clear();
    Click(*page, 1003);
    EXPECT_EQ(m_boxes.Last(), "Please select the entry you would be delete!");
    list->SelectRow(0);
    ASSERT_TRUE(Press(*page, 1003));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine().toStdString();
    EXPECT_EQ(list->ItemCount(), 0);
    EXPECT_EQ(Text(*page, 1143), "0");
    EXPECT_NE(Get(kArp + "4.10.0.0.1"), "1");

    // "&Add" runs the editor modally and reloads the list when it closes.
    bool added = false;
    QTimer::singleShot(0, [&] {
        auto* editor = qobject_cast<CArpEntryDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(editor, nullptr);
        added = Add(*editor, "10.0.0.2", "00-1a-2b-3c-4d-60", {2});
    });
    ASSERT_TRUE(Press(*page, 1001));
    EXPECT_TRUE(added);
    ASSERT_EQ(list->ItemCount(), 1);
    EXPECT_EQ(list->ItemText(0, 1), "10.0.0.2");
    EXPECT_EQ(list->ItemText(0, 3), "2");
}

TEST_F(ArpPage, EditorRefusesLocallyAndShowsTheSwitchRefusal) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    // Ports 3 and 4 form a link.
    ASSERT_TRUE(Set("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.1", "x", "30000000"));
    FillTable(63);
    CArpEntryDlg editor(std::vector<SArpEntry>{{"10.9.0.1", "00-11-22-33-44-01"}});
    editor.show();
    ASSERT_TRUE(WaitSettled(editor, 0));
    const int requests = (ResetRequests(), Requests());
    Click(editor, 1000);
    EXPECT_EQ(m_boxes.Last(), "Invalid Port Number");
    editor.Control<CIpAddressEdit>(1012)->SetAddress("10.9.0.1");
    SetText(editor, 1139, "00-11-22-33-44-01");
    Check(editor, 6003, true);
    Click(editor, 1000);
    EXPECT_EQ(m_boxes.Last(), "Duplicate MAC and IP.");
    editor.Control<CIpAddressEdit>(1012)->SetAddress("10.9.1.1");
    Click(editor, 1000);
    EXPECT_EQ(m_boxes.Last(),
              "ARP Spoofing Prevention enabled port must match to the aggregated link port.");
    EXPECT_EQ(Requests(), requests); // nothing sent

    // Cancel on the warning sends nothing either.
    Check(editor, 6004, true);
    m_boxes.SetAnswer(QMessageBox::Cancel);
    Click(editor, 1000);
    EXPECT_EQ(m_boxes.Last(), kWarning);
    EXPECT_EQ(Requests(), requests);
    m_boxes.SetAnswer(QMessageBox::Ok);

    // The 64th entry is taken; a 65th set past the page (a row added by
    // someone else meanwhile) is refused by the switch, and the editor says so.
    Click(editor, 1000);
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_EQ(Get(kArp + "4.10.9.1.1"), "1");

    auto page = OpenPage(kArpCommand);
    ASSERT_TRUE(page);
    EXPECT_EQ(As<CArpSpoofingPage>(*page).List()->ItemCount(), 64);
    Click(*page, 1001);
    EXPECT_EQ(m_boxes.Last(), "The Maximum of Entry is 64, can not add any more");

    CArpEntryDlg late(std::vector<SArpEntry>{});
    late.show();
    ASSERT_TRUE(WaitSettled(late, 0));
    ASSERT_FALSE(Add(late, "10.9.2.1", "00-11-22-33-44-02", {1}));
    EXPECT_TRUE(late.OutcomeLine().contains("resourceUnavailable"))
        << late.OutcomeLine().toStdString();
    EXPECT_NE(late.result(), QDialog::Accepted);
    EXPECT_TRUE(late.isVisible());
    Shot(late, QStringLiteral("arp-editor-refused"));
}
