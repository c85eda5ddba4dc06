// The lists of real pages against nsw-sim with a filter and a sorting on:
// the page acts on the row the operator picked, rows walked in batches pass
// through the filter, and counts follow what is shown.
#include "PageTestKit.h"
#include "platform/ListControl.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>

namespace {

const QString kVlan = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.7.6.1.");

class ListPages : public CPageTestKit {
protected:
    void MakeVlan(int vid, const QString& name) {
        const QString index = QString::number(vid);
        ASSERT_TRUE(Set(kVlan + "1." + index, "s", name));
        ASSERT_TRUE(Set(kVlan + "2." + index, "x", "f0000000"));
        ASSERT_TRUE(Set(kVlan + "4." + index, "x", "00000000"));
        ASSERT_TRUE(Set(kVlan + "5." + index, "i", "1"));
    }
    static QStringList Shown(const CListControl& list, int column) {
        QStringList texts;
        for (int row : list.ShownRows())
            texts << list.ItemText(row, column);
        return texts;
    }
    // Clicks the row shown at viewRow, as the operator does.
    static void ClickRow(CListControl& list, int viewRow) {
        const QRect cell = list.visualRect(list.model()->index(viewRow, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    }
};

} // namespace

TEST_F(ListPages, VlanDeleteTakesTheRowPickedInAFilteredSortedList) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    MakeVlan(10, QStringLiteral("alpha"));
    MakeVlan(20, QStringLiteral("Bravo"));
    MakeVlan(30, QStringLiteral("charlie"));
    MakeVlan(40, QStringLiteral("bravo-two"));
    auto page = OpenPage(32834);
    ASSERT_TRUE(page);
    auto* list = page->Control<CListControl>(1341);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->ItemCount(), 5);
    list->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    list->FilterEdit()->setText(QStringLiteral("BRAVO"));
    ASSERT_EQ(Shown(*list, 0), (QStringList{"40", "20"}));

    ClickRow(*list, 1);
    EXPECT_EQ(list->ItemText(list->SelectedRow(), 0), QStringLiteral("20"));
    ASSERT_TRUE(Press(*page, 1337)); // Delete, its question answered OK
    EXPECT_TRUE(Get(kVlan + "5.20").isEmpty());
    for (const char* vid : {"10", "30", "40"})
        EXPECT_EQ(Get(kVlan + "5." + vid), QStringLiteral("1")) << vid;
    // the reload keeps filter and sorting
    EXPECT_EQ(list->FilterText(), QStringLiteral("BRAVO"));
    EXPECT_EQ(Shown(*list, 0), QStringList{"40"});
    EXPECT_EQ(list->ItemCount(), 4);
    Shot(*page, QStringLiteral("lists-vlan-filtered"));
}

TEST_F(ListPages, PortOpenedFromThePanelIsSelectedAndInViewWhateverTheSorting) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    SetPageSelectedPort(20);
    std::unique_ptr<QDialog> dialog = CreatePage(32774, nullptr);
    SetPageSelectedPort(0);
    ASSERT_TRUE(dialog);
    std::unique_ptr<CPageBase> page(qobject_cast<CPageBase*>(dialog.release()));
    ASSERT_TRUE(page);
    auto* list = page->Control<CListControl>(201);
    ASSERT_NE(list, nullptr);
    // sorted before its rows come, and short enough to scroll
    list->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    list->setFixedHeight(list->horizontalHeader()->sizeHint().height() +
                         5 * list->verticalHeader()->defaultSectionSize());
    page->show();
    ASSERT_TRUE(WaitSettled(*page, 0));
    ASSERT_EQ(list->ItemCount(), 28);
    ASSERT_EQ(list->SelectedRow(), 19);
    const QModelIndex shown = list->selectionModel()->selectedRows().value(0);
    ASSERT_TRUE(shown.isValid());
    EXPECT_EQ(shown.data().toString(), QStringLiteral("20"));
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(shown)))
        << "port 20 is scrolled out of view";
}

TEST_F(ListPages, ForwardingTableWalksThroughTheFilterAndCountsWhatItShows) {
    StartSwitch(QStringLiteral("NSW-4410-28P"), QStringLiteral("2"),
                {QStringLiteral("--fdb"), QStringLiteral("1500")});
    auto page = OpenPage(32810);
    ASSERT_TRUE(page);
    auto* list = page->Control<CListControl>(1205);
    ASSERT_NE(list, nullptr);
    ASSERT_GE(list->ItemCount(), 1500);
    const auto count = [&] { return Text(*page, 1220).trimmed().toInt(); };
    EXPECT_EQ(count(), list->ItemCount());

    // The page's port filter, then the operator's (lower case for upper-case MACs) on top.
    SetText(*page, 1213, QStringLiteral("3"));
    const QList<int> port3 = list->ShownRows();
    ASSERT_GT(port3.size(), 10);
    const QString needle = list->ItemText(port3.front(), 0).right(2).toLower();
    list->FilterEdit()->setText(needle);
    const auto onPort3 = [&] {
        QList<int> rows;
        for (int r = 0; r < list->ItemCount(); ++r)
            if (list->ItemText(r, 2).trimmed() == u"3")
                rows << r;
        return rows;
    };
    const auto expected = [&] {
        QList<int> rows;
        for (int r : onPort3())
            for (int c = 0; c < 3; ++c)
                if (list->ItemText(r, c).contains(needle, Qt::CaseInsensitive)) {
                    rows << r;
                    break;
                }
        return rows;
    };
    QList<int> shown = list->ShownRows();
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, expected());
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_LT(shown.size(), port3.size());
    EXPECT_EQ(count(), shown.size());

    // A new walk arrives in batches with both filters on.
    ASSERT_TRUE(SetControl(QStringLiteral("2.4.0"), QStringLiteral("i"), QStringLiteral("3000")));
    ASSERT_TRUE(Press(*page, 20));
    ASSERT_GE(list->ItemCount(), 3000);
    shown = list->ShownRows();
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, expected());
    EXPECT_EQ(count(), shown.size());

    // Clearing the operator's filter counts again without a walk.
    list->FilterEdit()->clear();
    EXPECT_EQ(count(), onPort3().size());
    EXPECT_GT(count(), shown.size());
}
