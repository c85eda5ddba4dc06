// The list of every page on its own: the filter, copying, CSV export and the
// keys of the filter field.
#include "platform/ListControl.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

void Fill(CListControl& list) {
    list.AddColumn(QStringLiteral(" Port "));
    list.AddColumn(QStringLiteral(" Name       "));
    list.AddColumn(QStringLiteral(" State "));
    list.AppendRows({{"1", "Uplink", "up"},
                     {"2", "camera-north", "down"},
                     {"10", "Camera-South", "up"},
                     {"3", "printer", "UP"}});
}

QStringList Column(const CListControl& list, int column) {
    QStringList texts;
    for (int row : list.ShownRows())
        texts << list.ItemText(row, column);
    return texts;
}

} // namespace

TEST(ListFilter, MatchesAnyColumnInAnyCaseAndKeepsModelRows) {
    CListControl list;
    Fill(list);
    QSignalSpy changed(&list, &CListControl::FilterChanged);
    list.FilterEdit()->setText(QStringLiteral("CAMERA"));
    EXPECT_EQ(Column(list, 1), (QStringList{"camera-north", "Camera-South"}));
    EXPECT_EQ(list.FilterText(), QStringLiteral("CAMERA"));
    EXPECT_EQ(changed.count(), 1);
    // a text of another column, and blanks around it do not count
    list.SetFilterText(QStringLiteral(" up "));
    EXPECT_EQ(list.FilterEdit()->text(), QStringLiteral(" up "));
    EXPECT_EQ(Column(list, 0), (QStringList{"1", "10", "3"}));
    // rows keep their model numbers: ItemText and ItemCount ignore the filter
    EXPECT_EQ(list.ItemCount(), 4);
    EXPECT_EQ(list.ItemText(1, 1), QStringLiteral("camera-north"));
    list.SetFilterText(QString());
    EXPECT_EQ(list.ShownRows(), (QList<int>{0, 1, 2, 3}));
}

TEST(ListFilter, SelectionSortingAndNewRowsGoThroughTheFilter) {
    CListControl list;
    Fill(list);
    list.sortByColumn(0, Qt::DescendingOrder);
    list.SetFilterText(QStringLiteral("camera"));
    EXPECT_EQ(list.ShownRows(), (QList<int>{2, 1})); // 10 before 2, as numbers
    // the first row shown is model row 2, and selecting it says so
    list.selectRow(0);
    EXPECT_EQ(list.SelectedRow(), 2);
    EXPECT_EQ(list.SelectedRows(), QList<int>{2});
    // a row the filter hides cannot be selected, and the page is told
    EXPECT_FALSE(list.SelectRow(0));
    EXPECT_TRUE(list.SelectRow(1));
    EXPECT_EQ(list.SelectedRow(), 1);
    // rows that arrive in batches while the filter is on: only the matching
    // ones are shown, sorted in, and the model holds them all
    list.AppendRows({{"7", "lobby camera", "up"}, {"8", "door", "up"}});
    list.AppendRows({{"30", "CAMERA-yard", "down"}});
    EXPECT_EQ(list.ItemCount(), 7);
    EXPECT_EQ(Column(list, 0), (QStringList{"30", "10", "7", "2"}));
    EXPECT_EQ(list.SelectedRow(), 1); // the selection stays on its row
    // an edited row leaves the view when it no longer matches
    list.SetItemText(2, 1, QStringLiteral("gate"));
    EXPECT_EQ(Column(list, 0), (QStringList{"30", "7", "2"}));
    // a reload keeps the filter
    list.DeleteAllItems();
    list.AppendRows({{"5", "camera-east", "up"}, {"6", "fan", "up"}});
    EXPECT_EQ(Column(list, 1), QStringList{"camera-east"});
    EXPECT_EQ(list.SelectedRow(), -1);
}

TEST(ListFilter, AddsToAColumnFilterThePageSetsOnTheProxy) {
    CListControl list;
    Fill(list);
    auto* proxy = qobject_cast<QSortFilterProxyModel*>(list.model());
    ASSERT_NE(proxy, nullptr);
    proxy->setFilterKeyColumn(2);
    proxy->setFilterRegularExpression(QRegularExpression(QStringLiteral("^up$")));
    EXPECT_EQ(Column(list, 0), (QStringList{"1", "10"}));
    list.SetFilterText(QStringLiteral("camera"));
    EXPECT_EQ(Column(list, 0), QStringList{"10"});
}

TEST(ListCopy, HeaderLineThenTheSelectedRowsInTheOrderShown) {
    CListControl list;
    Fill(list);
    list.AppendRow({"4", "tab\there", "two\nlines"});
    list.sortByColumn(0, Qt::DescendingOrder);
    list.SelectRow(0);
    list.selectionModel()->select(list.model()->index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.selectionModel()->select(list.model()->index(2, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    // view rows 0 (10), 2 (3) and model row 0 (1), in view order; header trimmed
    EXPECT_EQ(list.SelectionText(),
              QStringLiteral("Port\tName\tState\n10\tCamera-South\tup\n3\tprinter\tUP\n1\tUplink\tup"));
    // nothing selected: every row shown; a tab or line break in a cell does
    // not make a new column or row
    list.clearSelection();
    list.SetFilterText(QStringLiteral("here"));
    EXPECT_EQ(list.SelectionText(), QStringLiteral("Port\tName\tState\n4\ttab here\ttwo lines"));

    // Ctrl+C puts it on the clipboard and reports it
    QSignalSpy reported(&list, &CListControl::Reported);
    QApplication::clipboard()->clear();
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), list.SelectionText());
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0).at(0).toString(), QStringLiteral("Copied 1 row."));
}

TEST(ListCsv, QuotesLikeRfc4180AndDisarmsFormulas) {
    EXPECT_EQ(CsvField(QStringLiteral(" plain ")), QStringLiteral("plain"));
    EXPECT_EQ(CsvField(QStringLiteral("a,b")), QStringLiteral("\"a,b\""));
    EXPECT_EQ(CsvField(QStringLiteral("say \"hi\"")), QStringLiteral("\"say \"\"hi\"\"\""));
    EXPECT_EQ(CsvField(QStringLiteral("two\nlines")), QStringLiteral("\"two\nlines\""));
    EXPECT_EQ(CsvField(QStringLiteral("cr\rhere")), QStringLiteral("\"cr\rhere\""));
    // cells a spreadsheet would run as formulas, also behind blanks or a tab
    EXPECT_EQ(CsvField(QStringLiteral("=1+1")), QStringLiteral("'=1+1"));
    EXPECT_EQ(CsvField(QStringLiteral("+cmd|' /C calc'!A0")), QStringLiteral("'+cmd|' /C calc'!A0"));
    EXPECT_EQ(CsvField(QStringLiteral("-2+3")), QStringLiteral("'-2+3"));
    EXPECT_EQ(CsvField(QStringLiteral("@SUM(A1)")), QStringLiteral("'@SUM(A1)"));
    EXPECT_EQ(CsvField(QStringLiteral("\t=HYPERLINK(\"x\")")),
              QStringLiteral("\"'=HYPERLINK(\"\"x\"\")\""));
    EXPECT_EQ(CsvField(QStringLiteral("=a,b")), QStringLiteral("\"'=a,b\""));
    // numbers stay numbers; a formula sign inside a text is harmless
    EXPECT_EQ(CsvField(QStringLiteral("-40")), QStringLiteral("-40"));
    EXPECT_EQ(CsvField(QStringLiteral("+3.5")), QStringLiteral("+3.5"));
    EXPECT_EQ(CsvField(QStringLiteral("a=b")), QStringLiteral("a=b"));
    EXPECT_EQ(CsvField(QString()), QString());
}

TEST(ListCsv, ExportsTheRowsShownInTheirOrder) {
    CListControl list;
    Fill(list);
    list.AppendRow({"11", "=HYPERLINK(\"http://x\")", "up"});
    list.sortByColumn(0, Qt::DescendingOrder);
    list.SetFilterText(QStringLiteral("up"));
    const QString csv = list.ToCsv();
    EXPECT_EQ(csv, QStringLiteral("Port,Name,State\r\n"
                                  "11,\"'=HYPERLINK(\"\"http://x\"\")\",up\r\n"
                                  "10,Camera-South,up\r\n3,printer,UP\r\n1,Uplink,up\r\n"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    ASSERT_TRUE(list.ExportCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), csv);
    EXPECT_FALSE(list.ExportCsv(dir.filePath(QStringLiteral("missing/list.csv"))));
}

TEST(ListFilterField, SitsAboveTheHeadingsAndKeepsItsKeysFromThePage) {
    QDialog page;
    auto* list = new CListControl(&page);
    Fill(*list);
    auto* apply = new QPushButton(QStringLiteral("Apply"), &page);
    apply->setDefault(true);
    auto* layout = new QVBoxLayout(&page);
    layout->addWidget(list);
    layout->addWidget(apply);
    QSignalSpy applied(apply, &QPushButton::clicked);
    QSignalSpy rejected(&page, &QDialog::rejected);
    page.resize(400, 300);
    page.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));

    // the field is inside the list, above the headings, and leaves the rows alone
    QLineEdit* field = list->FilterEdit();
    ASSERT_TRUE(field->isVisible());
    const QRect fieldArea(field->mapTo(list, QPoint(0, 0)), field->size());
    const QRect headings(list->horizontalHeader()->viewport()->mapTo(list, QPoint(0, 0)),
                         list->horizontalHeader()->viewport()->size());
    EXPECT_LE(fieldArea.bottom(), headings.top());
    EXPECT_GT(headings.height(), 8);
    EXPECT_LE(headings.bottom(), list->viewport()->mapTo(list, QPoint(0, 0)).y());
    EXPECT_EQ(list->rowAt(1), 0); // the rows start at the top of their area

    // Ctrl+F in the list reaches the field
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("cam"));
    EXPECT_EQ(list->ShownRows().size(), 2);
    // Enter does not press the page's default button
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(applied.count(), 0);
    // Escape clears the filter and leaves the page open
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(list->ShownRows().size(), 4);
    EXPECT_EQ(rejected.count(), 0);
    EXPECT_TRUE(page.isVisible());
}
