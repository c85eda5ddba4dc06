#include "RegisterAgent.h"

#include "AgentPages.h"
#include "panel/PageRegistry.h"
#include "snmp/Outcome.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterAgentPages() {
    Register<CGlobalStatePage>(32839);
    Register<CHostTablePage>(32840);
    Register<CUserTablePage>(32841);
    Register<CGroupTablePage>(32842);
    Register<CViewTablePage>(32843);
    Register<CCommunityTablePage>(32844);
    Register<CEngineIdPage>(32845);
    Register<CTrapPage>(32846);
    RegisterObjectNames({{"1.3.6.1.4.1.32473.10.75.7.25.1", "SNMP global state"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.2.1.1.2", "user group"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.2.1.1.3", "user SNMP version"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.2.1.1.4", "user auth protocol"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.2.1.1.5", "user auth password"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.2.1.1.6", "user priv protocol"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.2.1.1.7", "user priv password"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.2.1.1.8", "user row status"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.3.1.1.2", "group read view"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.3.1.1.3", "group write view"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.3.1.1.4", "group notify view"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.3.1.1.6", "group security level"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.3.1.1.7", "group row status"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.4.1.1.3", "view mask"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.4.1.1.4", "view type"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.4.1.1.5", "view row status"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.5.1.1.2", "community user"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.5.1.1.3", "community row status"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.6.1.1.2", "host SNMP version"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.6.1.1.3", "host community"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.6.1.1.4", "host row status"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.7", "engine ID"},
                         {"1.3.6.1.4.1.32473.10.75.7.25.8", "trap switches"}});
}
