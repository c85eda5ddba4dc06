// Security: storm control 13.3/13.4, ARP spoofing prevention 14.3, DHCP
// server screening 14.7, traffic segmentation 14.9 and smart binding 14.10.
#include "Features.h"
#include "Index.h"
#include "PortState.h"
#include "Trunk.h"

namespace nswsim {
namespace {

const Oid kSecurity = Concat(kSwitchMib, {14});
const Oid kBinding = Concat(kSwitchMib, {14, 10});

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

Oid MacIndex(const std::string& mac) {
    Oid index;
    for (unsigned char c : mac)
        index.push_back(c);
    return index;
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
    // Trusted servers, indexed by their address (an entry number 1-5 is taken too).
    Node& servers = store.AddTable(Concat(kSecurity, {7, 2, 1}), "dhcpTrustedServerEntry");
    servers.Col(1, "dhcpTrustedServerIndex", Syntax::Int(1, 5), Access::ReadOnly)
        .Col(2, "dhcpTrustedServerAddress", Syntax::Ip(), Access::ReadCreate)
        .RowStatusCol(3, "dhcpTrustedServerRowStatus")
        .Index([ip = IpAddressIndex(), number = IntIndex(1, 5)](const Oid& index) {
            return ip(index) || number(index);
        })
        .MaxRows(5);
    servers.Live(1, [&servers](const Oid& index) -> std::optional<Value> {
        std::int64_t position = 1;
        for (const auto& [other, row] : servers.Rows()) {
            if (other == index)
                return Value::Int(position);
            ++position;
        }
        return std::nullopt;
    });
    servers.Check(2, [](Txn&, const Oid&, const Value& v) {
        const auto ip = v.IpHostOrder();
        return ip == 0 || ip == 0xffffffff || IsMulticastIp(ip >> 24) ? Err::kWrongValue
                                                                      : Err::kNone;
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
    table.Check(2, PortListCheck(sw, table, 2));
}

// Hosts an auto scan finds: every address of the range but each third one.
void Scan(Switch& sw) {
    Store& store = sw.GetStore();
    Node& results = store.At(Concat(kBinding, {2, 1}));
    const auto from = store.At(Concat(kBinding, {5})).ScalarValue()->IpHostOrder();
    const auto to = store.At(Concat(kBinding, {6})).ScalarValue()->IpHostOrder();
    results.ClearRows();
    for (std::uint32_t ip = from; ip <= to && ip - from < 64; ++ip) {
        if (ip % 3 == 0)
            continue;
        const std::string mac{'\x00',
                              '\x1c',
                              '\x7e',
                              static_cast<char>(ip >> 16),
                              static_cast<char>(ip >> 8),
                              static_cast<char>(ip)};
        const int port = static_cast<int>(ip % static_cast<std::uint32_t>(sw.GetModel().ports)) + 1;
        const Oid index = Concat(Concat(IpIndex(ip), MacIndex(mac)), {static_cast<SubId>(port)});
        results.SetCell(index, 1, Value::Ip(ip));
        results.SetCell(index, 2, Value::Int(1));
        results.SetCell(index, 3, Value::Int(port));
        results.SetCell(index, 4, Value::Str(mac));
        results.SetCell(index, 5, Value::Int(2));
        if (ip == to)
            break;
    }
}

void RegisterSmartBinding(Switch& sw) {
    Store& store = sw.GetStore();
    AddPortTable(sw, Concat(kBinding, {1, 1}), "smartBindingPort")
        .Col(2, "smartBindingAdmin", EnabledDisabled(), Access::ReadWrite, Value::Int(2))
        .Col(3, "smartBindingInspection", Syntax::Enum({1, 2}), Access::ReadWrite, Value::Int(1))
        .Col(4, "smartBindingDhcpSnooping", EnabledDisabled(), Access::ReadWrite, Value::Int(2));

    // White list: index IP address and MAC address.
    Node& white = store.AddTable(Concat(kBinding, {3, 1}), "smartBindingWhiteEntry");
    white.Col(1, "whiteListIp", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "whiteListMac", Syntax::Str(6, 6), Access::ReadOnly)
        .Col(3, "whiteListPort", Syntax::Int(1, sw.GetModel().ports), Access::ReadCreate)
        .RowStatusCol(4, "whiteListRowStatus")
        .Live(1, IndexIpColumn())
        .Live(2,
              [](const Oid& index) -> std::optional<Value> {
                  return Value::Str(std::string(index.begin() + 4, index.end()));
              })
        .Index([ip = IpAddressIndex()](const Oid& index) {
            if (index.size() != 10 || !ip(Oid(index.begin(), index.begin() + 4)))
                return false;
            std::string mac(index.begin() + 4, index.end());
            for (SubId octet : Oid(index.begin() + 4, index.end()))
                if (octet > 255)
                    return false;
            return CheckHostMac(mac) == Err::kNone;
        })
        .MaxRows(512);

    // Scan results: index IP, MAC, port; column 5 written 1 binds the host.
    Node& results = store.AddTable(Concat(kBinding, {2, 1}), "smartBindingScanEntry");
    results.Col(1, "scanIp", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "scanVid", Syntax::Int(1, 4094), Access::ReadOnly)
        .Col(3, "scanPort", Syntax::Int(), Access::ReadOnly)
        .Col(4, "scanMac", Syntax::Str(6, 6), Access::ReadOnly)
        .Col(5, "scanBinding", Syntax::Enum({1, 2}), Access::ReadWrite);
    results.Persist(5, false);
    results.Check(5, [&white](Txn& txn, const Oid& index, const Value& v) {
        const Oid entry(index.begin(), index.begin() + 10);
        if (v.num == 1 && !txn.RowExists(white, entry)) {
            txn.Stage(white, entry, 3, Value::Int(index[10]));
            txn.Stage(white, entry, 4, Value::Int(RowStatus::kActive));
        }
        return Err::kNone;
    });

    // Black list: index VID, IP address, MAC address.
    Node& black = store.AddTable(Concat(kBinding, {4, 1}), "smartBindingBlackEntry");
    black.Col(1, "blackListVid", Syntax::Int(1, 4094), Access::ReadOnly)
        .Col(2, "blackListIp", Syntax::Ip(), Access::ReadOnly)
        .Col(3, "blackListMac", Syntax::Str(6, 6), Access::ReadOnly)
        .Col(4, "blackListPort", Syntax::Int(1, sw.GetModel().ports), Access::ReadCreate,
             Value::Int(1))
        .RowStatusCol(5, "blackListRowStatus")
        .Live(1, IndexIntColumn())
        .Live(2, IndexIpColumn(1))
        .Live(3,
              [](const Oid& index) -> std::optional<Value> {
                  return Value::Str(std::string(index.begin() + 5, index.end()));
              })
        .Index([](const Oid& index) {
            return index.size() == 11 && index[0] >= 1 && index[0] <= 4094;
        })
        .MaxRows(512);
    // Two hosts the switch has blocked.
    for (SubId host : {21u, 37u}) {
        const Oid index{1, 192, 168, 1, host, 0x00, 0x1c, 0x7e, 0x66, 0x00, host};
        black.SetCell(index, 4,
                      Value::Int(static_cast<std::int64_t>(host) % sw.GetModel().ports + 1));
        black.SetCell(index, 5, Value::Int(RowStatus::kActive));
    }

    // Auto scan: the range, then 1 to scan it.
    store.AddScalar(Concat(kBinding, {5}), "smartBindingScanFrom", Syntax::Ip(), Access::ReadWrite,
                    Value::Ip(0));
    store.AddScalar(Concat(kBinding, {6}), "smartBindingScanTo", Syntax::Ip(), Access::ReadWrite,
                    Value::Ip(0));
    store
        .AddScalar(Concat(kBinding, {7}), "smartBindingScan", Syntax::Enum({1, 2}),
                   Access::ReadWrite, Value::Int(2))
        .Persist(0, false)
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            if (v.num != 1)
                return Err::kNone;
            Store& s = txn.GetStore();
            const auto from = txn.Get(s.At(Concat(kBinding, {5})), {0}, 0)->IpHostOrder();
            const auto to = txn.Get(s.At(Concat(kBinding, {6})), {0}, 0)->IpHostOrder();
            if (from == 0 || to < from)
                return Err::kInconsistentValue;
            txn.OnCommit([&sw] { Scan(sw); });
            return Err::kNone;
        });
}

} // namespace

void RegisterSecurity(Switch& sw) {
    RegisterStormControl(sw);
    RegisterArpSpoofing(sw);
    RegisterDhcpScreening(sw);
    RegisterTrafficSegmentation(sw);
    RegisterSmartBinding(sw);
}

} // namespace nswsim
