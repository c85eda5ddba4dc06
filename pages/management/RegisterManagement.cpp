#include "RegisterManagement.h"

#include "Dot1x.h"
#include "Lldp.h"
#include "panel/PageRegistry.h"
#include "snmp/Outcome.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterManagementPages() {
    RegisterObjectNames({
        {"1.3.6.1.4.1.32473.10.75.7.11.1.1", "RADIUS server address"},
        {"1.3.6.1.4.1.32473.10.75.7.11.1.2", "RADIUS key"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.1", "802.1X state"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.2", "802.1X ReAuthEnabled"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.3", "802.1X QuietPeriod"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.4", "802.1X TxPeriod"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.5", "802.1X SuppTimeout"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.6", "802.1X ServerTimeout"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.7", "802.1X MaxReq"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.8", "802.1X ReAuthPeriod"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.9.1.2", "802.1X port control"},
        {"1.3.6.1.4.1.32473.10.75.7.11.2.9.1.3", "802.1X port status"},
        {"1.3.6.1.4.1.32473.10.75.7.24.1", "LLDP state"},
        {"1.3.6.1.4.1.32473.10.75.7.24.2", "LLDP TX hold multiplier"},
        {"1.3.6.1.4.1.32473.10.75.7.24.3", "LLDP TX interval"},
        {"1.3.6.1.4.1.32473.10.75.7.24.4", "LLDP reinit delay"},
        {"1.3.6.1.4.1.32473.10.75.7.24.5", "LLDP TX delay"},
        {"1.3.6.1.4.1.32473.10.75.7.24.8.1.2", "LLDP-MED power PSE TLV"},
    });
    Register<CDot1xPage>(32792);
    Register<CLldpGlobalPage>(32825);
    Register<CLldpRemotePage>(32826);
    Register<CLldpMedPage>(32827);
}
