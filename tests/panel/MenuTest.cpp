// The menu resource: order, texts and ids, and the trimming of each model applied to it.

#include "device/ModelVariants.h"
#include "panel/ModuleMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <map>

namespace {

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) {
        if (!action->isSeparator())
            texts << action->text();
    }
    return texts;
}

// Command texts as the operator reads them, blanks included.
const std::map<int, QString> kCommandTexts = {
    {32774, "Port Configuration"},
    {32832, "&Syslog Host Configuration"},
    {32849, "Time Profile Settings"},
    {32850, "Power Saving Settings"},
    {32834, "&VLAN Configuration"},
    {32854, "802.1Q Management VLAN"},
    {32828, "&Auto Surveillance VLAN Setting  "},
    {32817, "&Jumbo Frame Configuration"},
    {32857, "Port Mirroring Settings"},
    {32813, "&Spanning Tree Configuration"},
    {32818, "&Trunk Configuration"},
    {32830, "&Multicast Filtering Mode configuration"},
    {32861, "IGMP Snooping Configuration"},
    {32836, "Bandwidth Control"},
    {32833, "&ARP Spoofing Prevention Setting"},
    {32829, "&DHCP Server Screening Settings"},
    {32863, "Traffic Segmentation Settings"},
    {32864, "Storm Control Settings"},
    {32837, "Smart Binding Settings"},
    {32866, "Smart Binding"},
    {32867, "White List  "},
    {32868, "Black List  "},
    {32792, "&802.1X Configuration"},
    {32839, "SNMP Global State  "},
    {32841, "SNMP User Table"},
    {32842, "SNMP Group Table"},
    {32843, "SNMP View Table"},
    {32844, "SNMP Community Table  "},
    {32840, "SNMP Host Table"},
    {32845, "SNMP Engine ID"},
    {32846, "SNMP Trap Configuration"},
    {32825, "&LLDP Global Setting"},
    {32826, "&LLDP Remote Port Information"},
    {32827, "&LLDP MED Setting"},
    {32870, "PoE Global Settings"},
    {32852, "&PoE Port Config"},
    {32805, "&System Information"},
    {32809, "In&terface Table"},
    {32808, "&IP Table"},
    {32810, "Forwarding Table"},
    {32811, "&TCP Service"},
    {32812, "&UDP Service"},
    {32823, "&Firmware and Configuration Upgrade/Backup"},
    {32788, "&Telnet"},
    {32789, "&Web"},
    {32797, "&Reboot"},
    {32815, "&Save Configuration"},
};

std::unique_ptr<QMenuBar> Menu() {
    auto bar = std::make_unique<QMenuBar>();
    BuildModuleMenu(*bar, [](int) {});
    return bar;
}

} // namespace

TEST(ModuleMenu, TopLevelAndDeviceManagerOrder) {
    auto bar = Menu();
    EXPECT_EQ(Texts(bar->actions()),
              QStringList({"&Device Manager", "&Public MIB", "&Tools", "&About"}));
    QMenu* device = DeviceManagerMenu(*bar);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(Texts(device->actions()),
              QStringList({"System", "VLAN", "L2 Function", "Qos", "Security", "AAA",
                           "&SNMP Setting", "LLDP", "PoE"}));
    EXPECT_EQ(device->actions()[kPoeSubmenuPosition]->text(), "PoE");
    QMenu* security = device->actions()[4]->menu();
    ASSERT_NE(security, nullptr);
    EXPECT_TRUE(Texts(security->actions()).contains("Smart Binding"));
    EXPECT_EQ(FindCommand(*bar, 32866)->parent(), security->actions().last()->menu());
}

TEST(ModuleMenu, EveryCommandWithItsTextAndId) {
    auto bar = Menu();
    for (const auto& [id, text] : kCommandTexts) {
        QAction* action = FindCommand(*bar, id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->text(), text) << id;
        EXPECT_EQ(action->data().toInt(), id);
    }
    ASSERT_NE(FindCommand(*bar, MenuCommand::kAbout), nullptr);
    EXPECT_EQ(MenuCommands(*bar).size(), kCommandTexts.size() + 1) << "no command twice or extra";
    // Commands that only a command message reaches.
    for (int id : {32775, 32819, 32831, 32835}) {
        EXPECT_EQ(FindCommand(*bar, id), nullptr) << id;
        EXPECT_TRUE(IsPageCommand(id)) << id;
    }
    for (const auto& [id, text] : kCommandTexts) {
        const bool tool = id == 32788 || id == 32789 || id == 32797 || id == 32815;
        EXPECT_EQ(IsPageCommand(id), !tool) << id;
    }
}

TEST(ModuleMenu, TriggeringAnItemDispatchesItsId) {
    QMenuBar bar;
    std::vector<int> seen;
    BuildModuleMenu(bar, [&seen](int id) { seen.push_back(id); });
    FindCommand(bar, 32805)->trigger();
    FindCommand(bar, 32815)->trigger();
    EXPECT_EQ(seen, (std::vector<int>{32805, 32815}));
}

TEST(ModuleMenu, TrimmingOfEachModel) {
    struct SExpect {
        const char* model;
        bool poe;   // PoE submenu and its commands, LLDP MED
        bool med;   // LLDP MED Setting
        bool jumbo; // Jumbo Frame Configuration
    };
    const SExpect expectations[] = {
        {"NSW-4410-08P B1", true, false, false}, {"NSW-4410-28 B1", false, false, false},
        {"NSW-4410-28P", true, true, false},     {"NSW-4410-28P B1", true, true, false},
        {"NSW-4410-52 B1", false, false, false}, {"NGX-4410-10P", true, true, true},
        {"NGX-4410-10P B1", true, true, true},   {"NGX-4600-20", false, false, true},
        {"NGX-4600-28", false, false, true},     {"Some Other Switch", false, false, true},
    };
    for (const SExpect& e : expectations) {
        SCOPED_TRACE(e.model);
        auto bar = Menu();
        TrimMenuForModel(*bar, QString::fromLatin1(e.model));
        EXPECT_EQ(FindCommand(*bar, 32852) != nullptr, e.poe);
        EXPECT_EQ(FindCommand(*bar, 32870) != nullptr, e.poe);
        EXPECT_EQ(FindCommand(*bar, 32827) != nullptr, e.med);
        EXPECT_EQ(FindCommand(*bar, 32817) != nullptr, e.jumbo);
        const QStringList submenus = Texts(DeviceManagerMenu(*bar)->actions());
        EXPECT_EQ(submenus.contains("PoE"), e.poe);
        EXPECT_EQ(submenus.size(), e.poe ? 9 : 8);
        // Nothing else goes.
        const size_t removed = (e.poe ? 0 : 2) + (e.med ? 0 : 1) + (e.jumbo ? 0 : 1);
        EXPECT_EQ(MenuCommands(*bar).size(), kCommandTexts.size() + 1 - removed);
        EXPECT_NE(FindCommand(*bar, 32774), nullptr);
    }
}
