#include "PageRegistry.h"

#include "snmp/PageBase.h"

#include <map>

namespace {
// Pages are registered and opened on the GUI thread only.
std::map<int, PageFactory>& Factories() {
    static std::map<int, PageFactory> factories;
    return factories;
}
int g_nSelectedPort = 0;
} // namespace

void RegisterPage(int commandId, PageFactory factory) {
    if (factory)
        Factories()[commandId] = std::move(factory);
    else
        Factories().erase(commandId);
}

void UnregisterPage(int commandId) {
    Factories().erase(commandId);
}

bool IsPageRegistered(int commandId) {
    return Factories().count(commandId) != 0;
}

std::unique_ptr<QDialog> CreatePage(int commandId, QWidget* parent) {
    const auto it = Factories().find(commandId);
    if (it == Factories().end())
        return nullptr;
    std::unique_ptr<QDialog> page = it->second(parent);
    if (page) // the page remembers its looks under its command
        page->setProperty(kCommandIdProperty, commandId);
    return page;
}

int PageSelectedPort() {
    return g_nSelectedPort;
}
void SetPageSelectedPort(int port) {
    g_nSelectedPort = port;
}
