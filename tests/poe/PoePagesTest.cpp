// The PoE pages against nsw-sim: global settings, port configuration and the
// time ranges, on PoE models and on a model without PoE.
#include "PoePageKit.h"
#include "pages/poe/PoeGlobal.h"
#include "pages/poe/PoePort.h"
#include "pages/poe/TimeRange.h"

#include <QCheckBox>

namespace {

const QString kThreshold = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.2.0");
const QString kSequence = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.3.0");
constexpr int kGlobalPage = 32870, kPortPage = 32852, kRangePage = 32819;

// Port page controls.
enum {
    kList = 201,
    kFrom = 1069,
    kTo = 211,
    kState = 212,
    kPriority = 219,
    kLimit = 1065,
    kUserDefine = 1066,
    kWatts = 1070,
    kTimeRange = 1085,
    kApply = 242,
};
// Time range list and editor controls.
enum { kRangeList = 1080, kName = 1073, kDate = 1071, kAllDays = 1090, kSat = 1103, kSun = 1104 };
enum { kStartHour = 1014, kStartMinute = 1013, kEndHour = 1016, kEndMinute = 1015 };
enum { kFromYear = 1008, kFromMonth = 1086, kFromDay = 1011, kToYear = 1009, kToMonth = 1012 };

class PoePages : public CPoePageTest {};

} // namespace

TEST_F(PoePages, GlobalSettingsLoadLateAndApplyWhatChanged) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    auto page = OpenPage(kGlobalPage);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, 1139), "PoE Power Threshold  (7.1-78.0)");
    EXPECT_EQ(Text(*page, 1155), "78.0");
    EXPECT_EQ(Text(*page, 1156), "DenyNextPort");
    EXPECT_EQ(Text(*page, 1005), "78.0");
    EXPECT_NE(Text(*page, 1006), "wait...");
    EXPECT_TRUE(IsEnabled(*page, 1158));
    EXPECT_FALSE(Widget(*page, 1157)->isVisibleTo(page.get()));
    Shot(*page, "poe-global");

    // Nothing changed: nothing is sent.
    ResetRequests();
    ASSERT_TRUE(Press(*page, 1158));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"check the data you input"});
    // Out of the model's range: refused before anything is sent.
    m_boxes.Clear();
    SetText(*page, 1155, "78.1");
    Choose(*page, 1156, "DenyLowPriorityPort");
    Click(*page, 1158);
    EXPECT_EQ(m_boxes.Texts(),
              QStringList{"The System Power Threshold ranges between 7.1 ~ 78.0."});
    EXPECT_EQ(SetRequests(), 0);
    EXPECT_EQ(Get(kSequence), "1");

    m_boxes.Clear();
    SetText(*page, 1155, "7.1");
    ASSERT_TRUE(Press(*page, 1158));
    EXPECT_EQ(m_boxes.Texts(), QStringList{"set succeed,please wait for a moment"});
    EXPECT_EQ(Get(kThreshold), "7.1");
    EXPECT_EQ(Get(kSequence), "2");
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine();
    EXPECT_EQ(As<CPoeGlobalPage>(*page).StoredValue(CPoeGlobalPage::kThreshold), "7.1");
    // The switch refuses some of its devices now.
    EXPECT_EQ(Get(QStringLiteral("1.3.6.1.4.1.32473.10.75.7.22.8.0")), "1");
}

TEST_F(PoePages, GlobalSettingsLeaveTheRangeToTheSwitchOnOtherModels) {
    StartSwitch(QStringLiteral("NSW-4410-08P B1"));
    auto page = OpenPage(kGlobalPage);
    ASSERT_TRUE(page);
    EXPECT_EQ(Text(*page, 1139), "PoE Power Threshold  (7.1-185.0)");
    SetText(*page, 1155, "100");
    ASSERT_TRUE(Press(*page, 1158));
    EXPECT_EQ(m_boxes.Last(), "set succeed,please wait for a moment");
    EXPECT_EQ(Text(*page, 1155), "100.0") << "the switch keeps one decimal";

    SetText(*page, 1155, "200");
    ASSERT_TRUE(Press(*page, 1158));
    EXPECT_EQ(m_boxes.Last(), "check the data you input");
    EXPECT_TRUE(page->OutcomeLine().contains("wrongValue")) << page->OutcomeLine();
    EXPECT_TRUE(page->OutcomeLine().contains("PoE power threshold")) << page->OutcomeLine();
    EXPECT_EQ(Text(*page, 1155), "100.0") << "reloaded after the refusal";
    Shot(*page, "poe-global-refused");
}

TEST_F(PoePages, PortPageListsMapsAndAppliesARange) {
    StartSwitch(QStringLiteral("NSW-4410-28P B1"));
    MakeRange(3, "office");
    MakeRange(7, "gone");
    ASSERT_TRUE(Set(PoePortCell(4, 5), "i", "3"));
    ASSERT_TRUE(Set(PoePortCell(4, 6), "i", "7"));
    ASSERT_TRUE(Set(TimeRangeCell(21, 7), "i", "6")); // port 6 keeps naming it
    ASSERT_TRUE(Set(PoePortCell(7, 8), "i", "1"));
    ASSERT_TRUE(Set(PoePortCell(8, 8), "s", "12.4"));
    ASSERT_TRUE(Set(PoePortCell(5, 9), "i", "1"));
    ASSERT_TRUE(Set(PoePortCell(6, 10), "i", "4"));

    auto page = OpenPage(kPortPage);
    ASSERT_TRUE(page);
    CListControl* list = List(*page, kList);
    ASSERT_EQ(list->ItemCount(), 24);
    auto combo = [&](int id) { return page->Control<QComboBox>(id); };
    EXPECT_EQ(combo(kFrom)->count(), 24);
    EXPECT_EQ(Text(*page, kFrom), "1");
    EXPECT_EQ(Text(*page, kTo), "24");
    EXPECT_EQ(Text(*page, kState), "Enable");
    EXPECT_EQ(Text(*page, kPriority), "Normal");
    EXPECT_EQ(Text(*page, kLimit), "Auto");
    EXPECT_EQ(Text(*page, kTimeRange), "N/A");
    EXPECT_EQ(combo(kTimeRange)->count(), 2) << "N/A and the one active range";
    EXPECT_FALSE(IsEnabled(*page, kWatts));
    EXPECT_EQ(list->ItemText(0, 0), "1");
    EXPECT_EQ(list->ItemText(0, 1), "Enable");
    EXPECT_EQ(list->ItemText(0, 2), "N/A");
    EXPECT_EQ(list->ItemText(0, 3), "Normal");
    EXPECT_EQ(list->ItemText(0, 4), "Auto");
    EXPECT_EQ(list->ItemText(0, 9), "POWER ON");
    EXPECT_EQ(list->ItemText(4, 2), "office");
    EXPECT_EQ(list->ItemText(5, 2), "") << "a range that is gone";
    EXPECT_EQ(list->ItemText(7, 4), "12.4");
    EXPECT_EQ(list->ItemText(8, 3), "Low");
    EXPECT_EQ(list->ItemText(9, 4), "Class 3");
    Shot(*page, "poe-port");

    // The time ranges open from here; their names are read again afterwards.
    int before = page->OutcomeSerial();
    ASSERT_TRUE(WithModal<CTimeRangePage>([&] { Click(*page, 1300); },
                                          [&](CTimeRangePage& ranges) {
                                              EXPECT_EQ(List(ranges, kRangeList)->ItemCount(), 1);
                                              MakeRange(1, "night", 0, 6);
                                          },
                                          true));
    ASSERT_TRUE(WaitSettled(*page, before));
    EXPECT_EQ(combo(kTimeRange)->count(), 3);

    // The port drop-downs follow each other; "To" below "From" is put back.
    Choose(*page, kFrom, "5");
    EXPECT_EQ(Text(*page, kTo), "5");
    Choose(*page, kTo, "3");
    EXPECT_EQ(m_boxes.Last(), "'To Port' can not be smaller than 'From Port'");
    EXPECT_EQ(Text(*page, kTo), "5");
    emit list->RowActivated(1);
    EXPECT_EQ(Text(*page, kFrom), "2");
    EXPECT_EQ(Text(*page, kTo), "2");
    Check(*page, kUserDefine, true);
    EXPECT_TRUE(IsEnabled(*page, kWatts));
    EXPECT_FALSE(IsEnabled(*page, kLimit));
    Check(*page, kUserDefine, false);

    // "Disable" forces no range, Normal priority and Auto.
    Choose(*page, kFrom, "1");
    Choose(*page, kTo, "3");
    Choose(*page, kState, "Disable");
    Choose(*page, kPriority, "High");
    Choose(*page, kLimit, "Class 2");
    Choose(*page, kTimeRange, "office");
    ASSERT_TRUE(Press(*page, kApply));
    for (int port = 1; port <= 3; ++port) {
        EXPECT_EQ(PortCell(3, port), "2");
        EXPECT_EQ(PortCell(4, port), "0");
        EXPECT_EQ(PortCell(5, port), "2");
        EXPECT_EQ(PortCell(6, port), "1");
        EXPECT_EQ(PortCell(7, port), "2");
    }
    EXPECT_EQ(PortCell(3, 4), "1") << "the range ends at 3";
    EXPECT_TRUE(page->OutcomeLine().startsWith("Applied")) << page->OutcomeLine();
    EXPECT_EQ(list->ItemText(0, 1), "Disable");
    EXPECT_EQ(list->ItemText(0, 9), "POWER OFF");

    // Enabled with a user-defined limit and the range.
    Choose(*page, kTo, "4");
    Choose(*page, kState, "Enable");
    Check(*page, kUserDefine, true);
    SetText(*page, kWatts, "16.2");
    ASSERT_TRUE(Press(*page, kApply));
    for (int port = 1; port <= 4; ++port) {
        EXPECT_EQ(PortCell(3, port), "1");
        EXPECT_EQ(PortCell(4, port), "3");
        EXPECT_EQ(PortCell(5, port), "3");
        EXPECT_EQ(PortCell(7, port), "1");
        EXPECT_EQ(PortCell(8, port), "16.2");
        EXPECT_EQ(list->ItemText(port - 1, 4), "16.2");
        EXPECT_EQ(list->ItemText(port - 1, 2), "office");
    }

    // 16.1 W: refused before the first port is written.
    ResetRequests();
    SetText(*page, kWatts, "16.1");
    Click(*page, kApply);
    EXPECT_EQ(m_boxes.Last(), "The per-port power limit must be a multiple of 0.2");
    EXPECT_EQ(SetRequests(), 0);
    // Above what the switch takes: it stops at the first port and says so.
    SetText(*page, kWatts, "30.2");
    ASSERT_TRUE(Press(*page, kApply));
    EXPECT_TRUE(page->OutcomeLine().startsWith("Step 1 of 4 (port 1) not applied"))
        << page->OutcomeLine();
    EXPECT_TRUE(page->OutcomeLine().contains("wrongValue at PoE port user power limit.1.1"))
        << page->OutcomeLine();
    EXPECT_EQ(PortCell(8, 1), "16.2");
}

TEST_F(PoePages, PortPageOnAModelWithoutPoe) {
    StartSwitch(QStringLiteral("NSW-4410-28 B1"));
    auto page = OpenPage(kPortPage);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->Control<QComboBox>(kFrom)->count(), 8);
    EXPECT_EQ(Text(*page, kTo), "8");
    EXPECT_EQ(List(*page, kList)->ItemCount(), 0);
    EXPECT_TRUE(IsEnabled(*page, kApply));
    Shot(*page, "poe-port-no-poe");
}

TEST_F(PoePages, TimeRangesAddEditAndDelete) {
    StartSwitch(QStringLiteral("NSW-4410-08P B1"));
    auto page = OpenPage(kRangePage);
    ASSERT_TRUE(page);
    auto& ranges = As<CTimeRangePage>(*page);
    CListControl* list = List(*page, kRangeList);
    EXPECT_EQ(list->ItemCount(), 0);
    ResetRequests();
    ranges.OnEdit();
    EXPECT_EQ(m_boxes.Last(), "Please select the Time Range to be edit!");
    EXPECT_FALSE(ranges.OnDelete());
    EXPECT_EQ(m_boxes.Last(), "Please select the Time Range to be deleted!");

    // The editor's refusals send nothing.
    struct Case {
        const char* name;
        int toYear;
        int startHour;
        const char* message;
    } cases[] = {{"", 2026, 8, "The TimeRange name can not be empty,please input it."},
                 {"a,b", 2026, 8, "Invalid TimeRange Name."},
                 {"office", 2025, 8, "'To year' can't be less than 'From year'"},
                 {"office", 2026, 19, "'Start Time' can't be grater than 'End Time'"}};
    for (const Case& c : cases)
        ASSERT_TRUE(WithModal<CTimeRangeEditDlg>(
            [&] { ranges.OnAdd(); },
            [&](CTimeRangeEditDlg& editor) {
                SetText(editor, kName, c.name);
                Check(editor, kDate, true);
                Choose(editor, kFromYear, "2026");
                Choose(editor, kToYear, QString::number(c.toYear));
                Choose(editor, kStartHour, QString::number(c.startHour));
                Choose(editor, kEndHour, "18");
                EXPECT_FALSE(editor.Submit());
                EXPECT_EQ(m_boxes.Last(), c.message);
            }));
    EXPECT_EQ(SetRequests(), 0) << "nothing written";

    ASSERT_TRUE(WithModal<CTimeRangeEditDlg>([&] { ranges.OnAdd(); },
                                             [&](CTimeRangeEditDlg& editor) {
                                                 EXPECT_FALSE(IsEnabled(editor, kFromYear))
                                                     << "dates wait for \"Date\"";
                                                 SetText(editor, kName, "office");
                                                 Check(editor, kDate, true);
                                                 EXPECT_TRUE(IsEnabled(editor, kFromYear));
                                                 Choose(editor, kFromYear, "2026");
                                                 Choose(editor, kFromMonth, "3");
                                                 Choose(editor, kToYear, "2026");
                                                 Choose(editor, kToMonth, "11");
                                                 Choose(editor, kStartHour, "8");
                                                 Choose(editor, kStartMinute, "5");
                                                 Choose(editor, kEndHour, "18");
                                                 Choose(editor, kEndMinute, "0");
                                                 Click(editor, kAllDays);
                                                 Check(editor, kSat, false);
                                                 Check(editor, kSun, false);
                                                 Shot(editor, "poe-time-range-editor");
                                                 EXPECT_TRUE(editor.Submit());
                                                 EXPECT_EQ(editor.Entry(), 1);
                                             }));
    EXPECT_EQ(RangeCell(2, 1), "office");
    EXPECT_EQ(RangeCell(21, 1), "1");
    EXPECT_EQ(RangeCell(3, 1), "1");
    EXPECT_EQ(RangeCell(5, 1), "3");
    EXPECT_EQ(RangeCell(8, 1), "5");
    EXPECT_EQ(RangeCell(18, 1), "1");
    EXPECT_EQ(RangeCell(19, 1), "2");
    ASSERT_TRUE(WaitSettled(*page, 0));
    ASSERT_EQ(list->ItemCount(), 1);
    EXPECT_EQ(list->ItemText(0, 0), "office");
    EXPECT_EQ(list->ItemText(0, 1), "Mon,Tue,Wed,Thu,Fri,");
    EXPECT_EQ(list->ItemText(0, 2), "2026/3/1");
    EXPECT_EQ(list->ItemText(0, 3), "2026/11/31");
    EXPECT_EQ(list->ItemText(0, 4), "08:05");
    EXPECT_EQ(list->ItemText(0, 5), "18:00");
    Shot(*page, "poe-time-ranges");

    // Edit: the editor shows the entry; no date now, so the list shows none.
    list->SelectRow(0);
    ASSERT_TRUE(WithModal<CTimeRangeEditDlg>([&] { ranges.OnEdit(); },
                                             [&](CTimeRangeEditDlg& editor) {
                                                 EXPECT_EQ(Text(editor, kName), "office");
                                                 EXPECT_EQ(Text(editor, kStartMinute), "5");
                                                 EXPECT_TRUE(IsChecked(editor, kDate));
                                                 Check(editor, kDate, false);
                                                 Choose(editor, kEndMinute, "30");
                                                 EXPECT_TRUE(editor.Submit());
                                             }));
    EXPECT_EQ(RangeCell(13, 1), "30");
    EXPECT_EQ(RangeCell(3, 1), "2");
    ASSERT_TRUE(WaitSettled(*page, 0));
    EXPECT_EQ(list->ItemText(0, 2), "");
    EXPECT_EQ(list->ItemText(0, 5), "18:30");

    // A port still names it: the switch takes the delete all the same.
    ASSERT_TRUE(Set(PoePortCell(4, 2), "i", "1"));
    list->SelectRow(0);
    EXPECT_TRUE(ranges.OnDelete());
    EXPECT_FALSE(Exists(TimeRangeCell(21, 1)));
    EXPECT_EQ(PortCell(4, 2), "1");
    ASSERT_TRUE(WaitSettled(*page, 0));
    EXPECT_EQ(list->ItemCount(), 0);

    // Eight ranges: no ninth.
    for (int entry = 1; entry <= 8; ++entry)
        MakeRange(entry, QStringLiteral("r%1").arg(entry));
    ranges.Refresh();
    ASSERT_TRUE(WaitSettled(*page, 0));
    ASSERT_EQ(list->ItemCount(), 8);
    m_boxes.Clear();
    ranges.OnAdd();
    EXPECT_EQ(m_boxes.Texts(), QStringList{"The max number of PoE Time Range is 8"});
}

TEST_F(PoePages, EditorCancelRemovesARowTheSwitchDidNotFinish) {
    StartSwitch(QStringLiteral("NGX-4410-10P B1"));
    auto page = OpenPage(kRangePage);
    ASSERT_TRUE(page);
    auto& ranges = As<CTimeRangePage>(*page);
    // A name of 32 characters in 33 octets: the switch refuses it.
    const QString name = QString(31, u'a') + QChar(0xe9);
    ASSERT_TRUE(WithModal<CTimeRangeEditDlg>(
        [&] { ranges.OnAdd(); },
        [&](CTimeRangeEditDlg& editor) {
            SetText(editor, kName, name);
            const int before = editor.OutcomeSerial();
            EXPECT_FALSE(editor.Submit());
            EXPECT_TRUE(WaitSettled(editor, before));
            EXPECT_TRUE(editor.OutcomeLine().contains("Step 2 of 2 (entry 1) not applied"))
                << editor.OutcomeLine();
            EXPECT_EQ(RangeCell(21, 1), "3");
            editor.reject();
        }));
    EXPECT_FALSE(Exists(TimeRangeCell(21, 1)));
}
