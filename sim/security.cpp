// Security: storm control 13.3/13.4, ARP spoofing prevention 14.3, DHCP
// server screening 14.7 and traffic segmentation 14.9 (smart binding 14.10:
// binding.cpp).
#include "Features.h"
#include "Index.h"
#include "PortState.h"
#include "Trunk.h"

#include <set>

namespace nswsim {
namespace {

const Oid kSecurity = Concat(kSwitchMib, {14});

bool IsMulticastIp(SubId firstOctet) {
    return firstOctet >= 224 && firstOctet <= 239;
}

// A host MAC: six octets, neither all zero, broadcast nor multicast.
int CheckHostMac(const std::string& mac) {
    if (mac.size() != 6)
        return Err::kWrongLength;
    if (mac == std::string(6, '\0') || (static_cast<unsigned char>(mac[0]) & 1))
        return Err::kWrongValue;
    return Err::kNone;
}

void RegisterStormControl(Switch& sw) {
    Store& store = sw.GetStore();
    const std::string& model = sw.GetModel().name;
    // These two models count in units of 63 Kbit/s, the others 64.
    const std::int64_t unit = model == "NSW-4410-28P B1" || model == "NSW-4410-08P B1" ? 63 : 64;
    const Oid storm = Concat(kSwitchMib, {13, 3});
    store.AddScalar(Concat(storm, {1}), "stormControlState", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(2));
    store.AddScalar(Concat(storm, {2}), "stormControlType", Syntax::Enum({1, 2, 3}),
                    Access::ReadWrite, Value::Int(1));
    store
        .AddScalar(Concat(storm, {3}), "stormControlThreshold", Syntax::Int(0, 16000 * unit),
                   Access::ReadWrite, Value::Int(0))
        .Check([unit](Txn&, const Oid&, const Value& v) {
            return v.num % unit == 0 ? Err::kNone : Err::kWrongValue;
        });
    // Per port: 1 none ... 8 broadcast+multicast+unknown unicast; rate 0 unlimited.
    AddPortTable(sw, Concat(kSwitchMib, {13, 4, 2, 1}), "stormPort")
        .Col(3, "stormPortType", Syntax::Int(1, 8), Access::ReadWrite, Value::Int(1))
        .Col(4, "stormPortRate", Syntax::Int(0, 1024000), Access::ReadWrite, Value::Int(0));
}

void RegisterArpSpoofing(Switch& sw) {
    Node& arp = sw.GetStore().AddTable(Concat(kSecurity, {3, 1, 1}), "arpSpoofEntry");
    arp.Col(1, "arpSpoofGateway", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "arpSpoofMac", Syntax::Str(6, 6), Access::ReadCreate)
        .Col(3, "arpSpoofPorts", PortListSyntax(), Access::ReadCreate,
             Value::Str(PortListBytes(sw.GetModel(), {})))
        .RowStatusCol(4, "arpSpoofRowStatus")
        .Live(1, IndexIpColumn())
        .Index([ip = IpAddressIndex()](const Oid& index) {
            return ip(index) && !IsMulticastIp(index[0]) && index != Oid{255, 255, 255, 255};
        })
        .MaxRows(64);
    arp.Check(2, [](Txn&, const Oid&, const Value& v) { return CheckHostMac(v.bytes); });
    arp.Check(3, PortListCheck(sw, arp, 3, [&sw](Txn& txn, const Oid&, const Value& v) {
                  return SplitsTrunk(txn, sw.GetModel(), v.bytes) ? Err::kInconsistentValue
                                                                  : Err::kNone;
              }));
}

void RegisterDhcpScreening(Switch& sw) {
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    // Ports on which DHCP server packets are filtered (the page shows the rest).
    Node& ports = store.AddScalar(Concat(kSecurity, {7, 1}), "dhcpScreeningPorts", PortListSyntax(),
                                  Access::ReadWrite, Value::Str(PortListBytes(model, {})));
    ports.Check(PortListCheck(sw, ports, 0, [&sw](Txn& txn, const Oid&, const Value& v) {
        return SplitsTrunk(txn, sw.GetModel(), v.bytes) ? Err::kInconsistentValue : Err::kNone;
    }));
    // Trusted servers, indexed by their address; column 2 repeats the index
    // (one address, one row), column 1 is the entry number 1-5 the switch
    // gives a new row: the lowest one free, kept while the row lives.
    Node& servers = store.AddTable(Concat(kSecurity, {7, 2, 1}), "dhcpTrustedServerEntry");
    servers.Col(1, "dhcpTrustedServerIndex", Syntax::Int(1, 5), Access::ReadOnly)
        .Col(2, "dhcpTrustedServerAddress", Syntax::Ip(), Access::ReadCreate)
        .RowStatusCol(3, "dhcpTrustedServerRowStatus")
        .Persist(1, true)
        .Index([ip = IpAddressIndex()](const Oid& index) {
            return ip(index) && !IsMulticastIp(index[0]) && index != Oid{255, 255, 255, 255};
        })
        .MaxRows(5);
    servers.Check(2, [](Txn&, const Oid& index, const Value& v) {
        const auto ip = v.IpHostOrder();
        if (ip == 0 || ip == 0xffffffff || IsMulticastIp(ip >> 24))
            return Err::kWrongValue;
        return IpIndex(ip) == index ? Err::kNone : Err::kInconsistentValue;
    });
    servers.RowCheck([&servers](Txn& txn, const Oid& index) {
        if (!txn.Creating(servers, index))
            return Err::kNone;
        std::set<std::int64_t> taken;
        for (const Oid& other : txn.RowIndexes(servers))
            if (other != index)
                taken.insert(txn.GetInt(servers, other, 1));
        std::int64_t number = 1;
        while (taken.count(number))
            ++number;
        if (number > 5)
            return Err::kResourceUnavailable;
        txn.Stage(servers, index, 1, Value::Int(number));
        return Err::kNone;
    });
}

void RegisterTrafficSegmentation(Switch& sw) {
    Store& store = sw.GetStore();
    std::vector<int> all;
    for (int p = 1; p <= sw.GetModel().ports; ++p)
        all.push_back(p);
    store.AddScalar(Concat(kSecurity, {9, 1}), "trafficSegmentationState", EnabledDisabled(),
                    Access::ReadWrite, Value::Int(2));
    Node& table = AddPortTable(sw, Concat(kSecurity, {9, 2, 1}), "trafficSegmentation");
    table.Col(2, "trafficSegmentationPorts", PortListSyntax(), Access::ReadWrite,
              Value::Str(PortListBytes(sw.GetModel(), all)));
    // A member of an aggregated link forwards as its link does: its own list
    // is not set port by port.
    table.Check(2, PortListCheck(sw, table, 2, [](Txn& txn, const Oid& index, const Value&) {
                    return TrunkGroupOf(txn, static_cast<int>(index[0])) ? Err::kInconsistentValue
                                                                         : Err::kNone;
                }));
}

} // namespace

void RegisterSecurity(Switch& sw) {
    RegisterStormControl(sw);
    RegisterArpSpoofing(sw);
    RegisterDhcpScreening(sw);
    RegisterTrafficSegmentation(sw);
}

} // namespace nswsim
