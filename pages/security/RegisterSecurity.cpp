#include "RegisterSecurity.h"

#include "ArpSpoofing.h"
#include "DhcpScreening.h"
#include "Segmentation.h"
#include "StormControl.h"
#include "panel/PageRegistry.h"
#include "snmp/Outcome.h"

namespace {

template <class Page> void Register(int commandId) {
    RegisterPage(commandId, [](QWidget* parent) { return std::make_unique<Page>(parent); });
}

} // namespace

void RegisterSecurityPages() {
    RegisterObjectNames({
        {"1.3.6.1.4.1.32473.10.75.7.14.3.1.1.1", "ARP spoofing gateway"},
        {"1.3.6.1.4.1.32473.10.75.7.14.3.1.1.2", "ARP spoofing gateway MAC"},
        {"1.3.6.1.4.1.32473.10.75.7.14.3.1.1.3", "ARP spoofing ports"},
        {"1.3.6.1.4.1.32473.10.75.7.14.3.1.1.4", "ARP spoofing row status"},
        {"1.3.6.1.4.1.32473.10.75.7.14.7.1", "DHCP screening ports"},
        {"1.3.6.1.4.1.32473.10.75.7.14.7.2.1.1", "trusted DHCP server entry"},
        {"1.3.6.1.4.1.32473.10.75.7.14.7.2.1.2", "trusted DHCP server address"},
        {"1.3.6.1.4.1.32473.10.75.7.14.7.2.1.3", "trusted DHCP server row status"},
        {"1.3.6.1.4.1.32473.10.75.7.14.9.1", "traffic segmentation state"},
        {"1.3.6.1.4.1.32473.10.75.7.14.9.2.1.2", "forwarding ports"},
        {"1.3.6.1.4.1.32473.10.75.7.13.3.1", "storm control state"},
        {"1.3.6.1.4.1.32473.10.75.7.13.3.2", "storm control type"},
        {"1.3.6.1.4.1.32473.10.75.7.13.3.3", "storm control threshold"},
    });
    Register<CArpSpoofingPage>(32833);
    Register<CDhcpScreeningPage>(32829);
    Register<CSegmentationPage>(32863);
    Register<CStormControlPage>(32864);
}
