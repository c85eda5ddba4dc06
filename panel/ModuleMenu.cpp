#include "ModuleMenu.h"

#include "device/ModelVariants.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace {

SMenuEntry Item(const char* text, int id) {
    return {QString::fromLatin1(text), id, {}};
}
SMenuEntry Separator() {
    return {};
}
SMenuEntry Sub(const char* text, std::vector<SMenuEntry> children) {
    return {QString::fromLatin1(text), 0, std::move(children)};
}

void AddEntries(QMenu& menu, const std::vector<SMenuEntry>& entries,
                const std::function<void(int)>& onCommand) {
    for (const SMenuEntry& entry : entries) {
        if (!entry.children.empty()) {
            AddEntries(*menu.addMenu(entry.text), entry.children, onCommand);
        } else if (entry.id == 0) {
            menu.addSeparator();
        } else {
            QAction* action = menu.addAction(entry.text);
            action->setData(entry.id);
            const int id = entry.id;
            QObject::connect(action, &QAction::triggered, action,
                             [onCommand, id] { onCommand(id); });
        }
    }
}

void CollectActions(const QList<QAction*>& actions, std::vector<QAction*>& out) {
    for (QAction* action : actions) {
        out.push_back(action);
        if (QMenu* sub = action->menu())
            CollectActions(sub->actions(), out);
    }
}

std::vector<QAction*> AllActions(const QMenuBar& bar) {
    std::vector<QAction*> out;
    CollectActions(bar.actions(), out);
    return out;
}

int CommandOf(const QAction* action) {
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

} // namespace

const std::vector<SMenuEntry>& ModuleMenuResource() {
    static const std::vector<SMenuEntry> menu = {
        Sub("&Device Manager",
            {
                Sub("System",
                    {Item("Port Configuration", 32774), Item("&Syslog Host Configuration", 32832),
                     Item("Time Profile Settings", 32849), Item("Power Saving Settings", 32850)}),
                Sub("VLAN",
                    {Item("&VLAN Configuration", 32834), Item("802.1Q Management VLAN", 32854),
                     Item("&Auto Surveillance VLAN Setting  ", 32828)}),
                Sub("L2 Function", {Item("&Jumbo Frame Configuration", 32817),
                                    Item("Port Mirroring Settings", 32857),
                                    Item("&Spanning Tree Configuration", 32813),
                                    Item("&Trunk Configuration", 32818),
                                    Item("&Multicast Filtering Mode configuration", 32830),
                                    Item("IGMP Snooping Configuration", 32861)}),
                Sub("Qos", {Item("Bandwidth Control", 32836)}),
                Sub("Security",
                    {Item("&ARP Spoofing Prevention Setting", 32833),
                     Item("&DHCP Server Screening Settings", 32829),
                     Item("Traffic Segmentation Settings", 32863),
                     Item("Storm Control Settings", 32864),
                     Sub("Smart Binding",
                         {Item("Smart Binding Settings", 32837), Item("Smart Binding", 32866),
                          Item("White List  ", 32867), Item("Black List  ", 32868)})}),
                Sub("AAA", {Item("&802.1X Configuration", 32792)}),
                Sub("&SNMP Setting",
                    {Item("SNMP Global State  ", 32839), Item("SNMP User Table", 32841),
                     Item("SNMP Group Table", 32842), Item("SNMP View Table", 32843),
                     Item("SNMP Community Table  ", 32844), Item("SNMP Host Table", 32840),
                     Item("SNMP Engine ID", 32845), Item("SNMP Trap Configuration", 32846)}),
                Sub("LLDP", {Item("&LLDP Global Setting", 32825),
                             Item("&LLDP Remote Port Information", 32826),
                             Item("&LLDP MED Setting", 32827)}),
                Sub("PoE", {Item("PoE Global Settings", 32870), Item("&PoE Port Config", 32852)}),
            }),
        Sub("&Public MIB", {Item("&System Information", 32805), Item("In&terface Table", 32809),
                            Item("&IP Table", 32808), Item("Forwarding Table", 32810),
                            Item("&TCP Service", 32811), Item("&UDP Service", 32812)}),
        Sub("&Tools", {Item("&Telnet", Command::kTelnet), Item("&Web", Command::kWeb), Separator(),
                       Item("&Firmware and Configuration Upgrade/Backup", 32823),
                       Item("&Save Configuration", Command::kSaveConfiguration),
                       Item("&Reboot", Command::kReboot)}),
        Sub("&About", {Item("&About", Command::kAbout)}),
    };
    return menu;
}

const std::vector<int>& PageCommands() {
    static const std::vector<int> ids = {
        32774, 32832, 32849, 32850, 32834, 32854, 32828, 32817, 32857, 32813, 32818, 32830,
        32861, 32836, 32833, 32829, 32863, 32864, 32837, 32866, 32867, 32868, 32792, 32839,
        32841, 32842, 32843, 32844, 32840, 32845, 32846, 32825, 32826, 32827, 32870, 32852,
        32805, 32809, 32808, 32810, 32811, 32812, 32823, 32775, 32819, 32831, 32835};
    return ids;
}

bool IsPageCommand(int id) {
    const auto& ids = PageCommands();
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

void BuildModuleMenu(QMenuBar& bar, const std::function<void(int)>& onCommand) {
    for (const SMenuEntry& top : ModuleMenuResource()) {
        QMenu* menu = bar.addMenu(top.text);
        AddEntries(*menu, top.children, onCommand);
    }
}

QAction* FindCommand(const QMenuBar& bar, int id) {
    for (QAction* action : AllActions(bar)) {
        if (!action->menu() && CommandOf(action) == id)
            return action;
    }
    return nullptr;
}

void DeleteCommand(QMenuBar& bar, int id) {
    // An action leaves every menu that shows it when it is destroyed; its menu owned it.
    while (QAction* action = FindCommand(bar, id))
        delete action;
}

QMenu* DeviceManagerMenu(const QMenuBar& bar) {
    const QList<QAction*> top = bar.actions();
    return top.isEmpty() ? nullptr : top.front()->menu();
}

void TrimMenuForModel(QMenuBar& bar, const QString& model) {
    const SMenuTrim trim = MenuTrimForModel(model);
    for (int id : trim.commands)
        DeleteCommand(bar, id);
    if (trim.bRemovePoeSubmenu) {
        if (QMenu* device = DeviceManagerMenu(bar)) {
            const QList<QAction*> entries = device->actions();
            if (entries.size() > kPoeSubmenuPosition) {
                QAction* poe = entries[kPoeSubmenuPosition];
                device->removeAction(poe);
                delete poe->menu();
            }
        }
    }
}

std::vector<int> MenuCommands(const QMenuBar& bar) {
    std::vector<int> ids;
    for (QAction* action : AllActions(bar)) {
        if (!action->menu() && !action->isSeparator() && CommandOf(action) > 0)
            ids.push_back(CommandOf(action));
    }
    return ids;
}
