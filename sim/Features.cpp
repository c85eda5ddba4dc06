#include "Features.h"

namespace nswsim {

void RegisterFeatures(Switch& sw) {
    // Control first: other features read the simulated port state from it.
    RegisterControl(sw);
    RegisterPorts(sw);
    RegisterDevice(sw);
    RegisterMib2(sw);
    RegisterBridge(sw);
    RegisterTrunk(sw);
}

} // namespace nswsim
