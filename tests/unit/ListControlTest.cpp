#include "platform/IpAddressEdit.h"
#include "platform/ListControl.h"

#include <QHeaderView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ListControl, ColumnsAreHeaderWidthPlusFifteen) {
    CListControl list;
    const QString header = QStringLiteral(" Link Status            ");
    list.AddColumn(header);
    EXPECT_EQ(list.columnWidth(0), list.horizontalHeader()->fontMetrics().horizontalAdvance(header) + 15);
    EXPECT_EQ(list.Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), header);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST(ListControl, SortingKeepsModelRowsAndCsvFollowsTheView) {
    CListControl list;
    list.AddColumn(QStringLiteral(" Port "));
    list.AddColumn(QStringLiteral(" Name "));
    list.AppendRows({{"10", "ten"}, {"9", "nine, with comma"}, {"100", "say \"hi\""}});
    EXPECT_EQ(list.ItemCount(), 3);
    list.sortByColumn(0, Qt::AscendingOrder);
    // numbers sort as numbers, and model row numbers do not move
    EXPECT_EQ(list.model()->index(0, 0).data().toString(), QStringLiteral("9"));
    EXPECT_EQ(list.ItemText(0, 0), QStringLiteral("10"));
    EXPECT_EQ(list.ToCsv(), QStringLiteral("Port,Name\r\n9,\"nine, with comma\"\r\n10,ten\r\n"
                                           "100,\"say \"\"hi\"\"\"\r\n"));
    list.SelectRow(2);
    EXPECT_EQ(list.SelectedRow(), 2);
    EXPECT_EQ(list.SelectionText(), QStringLiteral("Port\tName\n100\tsay \"hi\""));
    QTemporaryDir dir;
    const QString path = dir.filePath("list.csv");
    ASSERT_TRUE(list.ExportCsv(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), list.ToCsv());
    EXPECT_FALSE(list.ExportCsv(dir.filePath("missing/dir/list.csv")));
    list.DeleteAllItems();
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(list.SelectedRow(), -1);
}

TEST(IpAddressEdit, BlankPartialAndFilled) {
    CIpAddressEdit edit;
    EXPECT_TRUE(edit.IsBlank());
    EXPECT_EQ(edit.Address(), QString());
    EXPECT_TRUE(edit.SetAddress(QStringLiteral("192.168.1.20")));
    EXPECT_EQ(edit.Address(), QStringLiteral("192.168.1.20"));
    EXPECT_EQ(edit.FilledFieldCount(), 4);
    for (const char* bad : {"256.1.1.1", "1.2.3", "a.b.c.d", "1.2.3.4.5", ""}) {
        EXPECT_FALSE(edit.SetAddress(QString::fromLatin1(bad))) << bad;
        EXPECT_TRUE(edit.IsBlank()) << bad;
    }
}
