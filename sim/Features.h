#pragma once

#include "Switch.h"

// One registration function per feature family (one source file each).
// To add a feature: write sim/<feature>.cpp with a Register<Feature>(Switch&)
// function, declare it here and list it in Features.cpp.
namespace nswsim {

void RegisterControl(Switch& sw);  // control.cpp: simulator-only subtree 32473.99
void RegisterPorts(Switch& sw);    // ports.cpp: port control 1.13, jumbo, QoS priority
void RegisterDevice(Switch& sw);   // device.cpp: reboot, save, fan, SNMP state
void RegisterMib2(Switch& sw);     // mib2.cpp: system, ifTable, ip, tcp, udp
void RegisterBridge(Switch& sw);   // bridge.cpp: BRIDGE-MIB, Q-BRIDGE forwarding table
void RegisterTrunk(Switch& sw);    // trunk.cpp: link aggregation 8.1

} // namespace nswsim
