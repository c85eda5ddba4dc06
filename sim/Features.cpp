#include "Features.h"

namespace nswsim {

void RegisterFeatures(Switch& sw) {
    // Control and ports first: other features read the port state from them.
    RegisterControl(sw);
    RegisterPorts(sw);
    RegisterDevice(sw);
    RegisterMib2(sw);
    RegisterPortCounters(sw);
    RegisterBridge(sw);
    RegisterTrunk(sw);
    RegisterVlan(sw);
    RegisterSwitching(sw);
    RegisterStp(sw);
    RegisterSnmpAgent(sw);
    RegisterPoe(sw);
    RegisterSecurity(sw);
    RegisterBinding(sw);
    RegisterDot1x(sw);
    RegisterSyslog(sw);
    RegisterLldp(sw);
    RegisterTransfer(sw);
    RegisterSystemSettings(sw);
    RegisterTraffic(sw);
    sw.GetStore().NotifyChanged(); // derived tables see the initial state
}

} // namespace nswsim
