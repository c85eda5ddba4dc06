#include "Pages.h"

#include "pages/agent/RegisterAgent.h"
#include "pages/graph/TrafficWindow.h"
#include "pages/management/RegisterManagement.h"
#include "pages/management/RegisterTransfer.h"
#include "pages/mib2/MibPages.h"
#include "pages/poe/RegisterPoe.h"
#include "pages/security/RegisterBinding.h"
#include "pages/security/RegisterSecurity.h"
#include "pages/system/RegisterSystem.h"
#include "pages/traffic/RegisterTraffic.h"
#include "pages/switching/PortConfig.h"
#include "pages/switching/RegisterLayer2.h"
#include "pages/switching/Trunk.h"
#include "pages/switching/Vlan.h"
#include "panel/PageRegistry.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterAllPages() {
    // Switching
    RegisterPage(32774, [](QWidget* parent) {
        return std::make_unique<CPortSetInfo>(parent, PageSelectedPort());
    });
    Register<CVlanPage>(32834);
    Register<CTrunkPage>(32818);
    // Public MIB
    Register<CSystemInfoPage>(32805);
    RegisterPage(32809, [](QWidget* parent) { return MakeInterfaceTablePage(parent); });
    RegisterPage(32808, [](QWidget* parent) { return MakeIpTablePage(parent); });
    Register<CForwardingTablePage>(32810);
    RegisterPage(32811, [](QWidget* parent) { return MakeTcpServicePage(parent); });
    RegisterPage(32812, [](QWidget* parent) { return MakeUdpServicePage(parent); });
    // The other families, one registration each.
    RegisterLayer2Pages();
    RegisterAgentPages();
    RegisterManagementPages();
    RegisterTransferPages();
    RegisterSecurityPages();
    RegisterBindingPages();
    RegisterPoePages();
    RegisterSystemPages();
    RegisterTrafficPages();
    // The panel's port menu: the live traffic graph.
    RegisterTrafficWindow();
}
