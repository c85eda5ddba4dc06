#pragma once

#include "Switch.h"

// One registration function per feature family (one source file each).
// To add a feature: write sim/<feature>.cpp with a Register<Feature>(Switch&)
// function, declare it here and call it from RegisterFeatures (Features.cpp).
namespace nswsim {

void RegisterControl(Switch& sw); // control.cpp: simulator-only subtree 32473.99
void RegisterPorts(Switch& sw);   // ports.cpp: port control 1.13, jumbo frames 1.12
void RegisterDevice(Switch& sw);  // device.cpp: reboot 1.9, save 1.10, fan 1.15
void RegisterMib2(Switch& sw);    // mib2.cpp: system, ifTable, ip, tcp, udp
void RegisterPortCounters(Switch& sw); // portcounters.cpp: ifTable counters, ifXTable, control 8
void RegisterBridge(Switch& sw);  // bridge.cpp: BRIDGE-MIB base, Q-BRIDGE forwarding table
void RegisterTrunk(Switch& sw);   // trunk.cpp: link aggregation 8.1
void RegisterVlan(Switch& sw);    // vlan.cpp: 802.1Q VLANs 7.5-7.8
void RegisterSwitching(
    Switch& sw); // switching.cpp: 9.2, 9.3, 12.3, 13.1.2, 14.2, 15.2, 17.5, 18, 21, 26, 34
void RegisterStp(Switch& sw);       // stp.cpp: BRIDGE-MIB spanning tree, RSTP 6
void RegisterSnmpAgent(Switch& sw); // snmpagent.cpp: the switch's SNMP agent settings 25
void RegisterPoe(Switch& sw);       // poe.cpp: PoE 22, time ranges 23, names 32
void RegisterSecurity(Switch& sw); // security.cpp: storm control 13.3/13.4, 14.3, 14.7, 14.9
void RegisterBinding(Switch& sw);  // binding.cpp: smart binding 14.10
void RegisterDot1x(Switch& sw);    // dot1x.cpp: 802.1X 11
void RegisterSyslog(Switch& sw);   // syslog.cpp: syslog host 16.1
void RegisterLldp(Switch& sw);     // lldp.cpp: LLDP 24 and LLDP-MIB
void RegisterTransfer(Switch& sw); // transfer.cpp: firmware and configuration transfer 3
void RegisterSystemSettings(Switch& sw); // system.cpp: time ranges 23/32, power saving 40, 41, 26
void RegisterTraffic(Switch& sw);  // traffic.cpp: IGMP snooping 19, static MAC table 9.4

} // namespace nswsim
