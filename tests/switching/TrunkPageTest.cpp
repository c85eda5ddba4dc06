#include "SimPage.h"
#include "pages/switching/Trunk.h"
#include "platform/ListControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kState = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.2.0");
const QString kMembers = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.2.");
const QString kMode = QStringLiteral("1.3.6.1.4.1.32473.10.75.7.8.1.3.1.3.");

class TrunkPage : public CSimPageTest {
protected:
    std::unique_ptr<CTrunkPage> Open() {
        auto page = std::make_unique<CTrunkPage>();
        QSignalSpy loaded(page.get(), &CTrunkPage::Loaded);
        page->show();
        EXPECT_TRUE(WaitFor(loaded));
        return page;
    }
    static bool Reloaded(CTrunkPage& page) {
        QSignalSpy loaded(&page, &CTrunkPage::Loaded);
        return WaitFor(loaded);
    }
    static void Choose(CTrunkPage& page, const QString& id, const QString& mode) {
        page.Control<QLineEdit>(215)->setText(id);
        page.Control<QComboBox>(1018)->setCurrentText(mode);
    }
};

} // namespace

TEST_F(TrunkPage, GlobalStateAndGroupList) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    ASSERT_TRUE(Set(kMembers + "3", "x", "00c00000")); // ports 9 and 10
    ASSERT_TRUE(Set(kMode + "3", "i", "1"));
    auto page = Open();
    CListControl* list = page->List();
    ASSERT_EQ(list->ItemCount(), 8);
    EXPECT_EQ(list->ItemText(2, 0), "3");
    EXPECT_EQ(list->ItemText(2, 1), "LACP");
    EXPECT_EQ(list->ItemText(2, 2), "9,10");
    EXPECT_EQ(list->ItemText(0, 1), "Disable");
    EXPECT_TRUE(list->ItemText(0, 2).isEmpty());
    auto* enable = page->Control<QCheckBox>(1008);
    auto* portMember = page->Control<QPushButton>(1000);
    EXPECT_FALSE(enable->isChecked());
    EXPECT_FALSE(portMember->isEnabled());

    page->SelectRow(2);
    EXPECT_EQ(page->Control<QLineEdit>(215)->text(), "3");
    EXPECT_EQ(page->Control<QComboBox>(1018)->currentText(), "LACP");

    enable->setChecked(true);
    EXPECT_TRUE(page->ApplyState());
    EXPECT_EQ(Get(kState), "1");
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_TRUE(enable->isChecked());
    EXPECT_TRUE(portMember->isEnabled());

    enable->setChecked(false);
    EXPECT_TRUE(page->ApplyState());
    EXPECT_EQ(Get(kState), "2");
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_FALSE(portMember->isEnabled());
}

TEST_F(TrunkPage, ChannelModeChangesAndRefusals) {
    StartSwitch(QStringLiteral("NSW-4410-28P"));
    ASSERT_TRUE(Set(kMembers + "2", "x", "30000000")); // ports 3 and 4
    ASSERT_TRUE(Set(kMode + "2", "i", "2"));
    auto page = Open();
    const int sets = SetRequests();

    for (const char* id : {"0", "9", "x"}) {
        Choose(*page, id, "LACP");
        EXPECT_FALSE(page->ApplyMode());
        EXPECT_EQ(m_boxes.Last(), "Invalid Trunk ID, Trunk ID should be (1-8) !");
        EXPECT_TRUE(page->Control<QLineEdit>(215)->hasSelectedText());
    }
    m_boxes.Clear();
    Choose(*page, "", "LACP");
    EXPECT_FALSE(page->ApplyMode()); // nothing happens
    Choose(*page, "2", "Static");
    EXPECT_FALSE(page->ApplyMode()); // the mode it has
    EXPECT_TRUE(m_boxes.Texts().isEmpty());
    Choose(*page, "5", "LACP");
    EXPECT_FALSE(page->ApplyMode());
    EXPECT_EQ(m_boxes.Last(), "Please configure the PortMember first");

    Choose(*page, "", "LACP");
    page->OnPortMember();
    EXPECT_EQ(m_boxes.Last(), "Please select the Trunk !");
    Choose(*page, "2", "Disable");
    page->OnPortMember();
    EXPECT_EQ(m_boxes.Last(), "Link Aggregation State is disable.");
    EXPECT_EQ(SetRequests(), sets);
    EXPECT_EQ(Get(kMode + "2"), "2");

    Choose(*page, "2", "LACP");
    EXPECT_TRUE(page->ApplyMode());
    EXPECT_EQ(Get(kMode + "2"), "1");
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_EQ(page->List()->ItemText(1, 1), "LACP");

    // "Disable" takes the group out of service
    Choose(*page, "2", "Disable");
    EXPECT_TRUE(page->ApplyMode());
    EXPECT_EQ(Get(kMode + "2"), "3");
    ASSERT_TRUE(Reloaded(*page));
    EXPECT_EQ(page->List()->ItemText(1, 1), "Disable");
}
