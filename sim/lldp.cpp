// LLDP: the switch's settings 24 and the standard LLDP-MIB local system and
// remote table, whose neighbours sit on linked ports while LLDP runs.
#include "Features.h"
#include "PortState.h"

namespace nswsim {
namespace {

const Oid kLldp = Concat(kSwitchMib, {24});
const Oid kLocal = Concat(kLldpMib, {1, 3});
const Oid kRemoteEntry = Concat(kLldpMib, {1, 4, 1, 1});
const Oid kNeighboursControl = Concat(kControl, {2, 5});

struct Identity {
    int chassisSubtype;
    std::string chassisId;
    int portSubtype;
    std::string portId;
};

// Neighbour n's chassis and port identifiers. Seven neighbours in a row
// cover every chassis and every port subtype, as real neighbours send them:
// MACs, network addresses (IANA family 1 and IPv4, or family 2 and IPv6),
// names as text, and two binary identifiers (a chassis "local" and an agent
// circuit ID) that are no text at all.
Identity IdentityOf(SubId n, int port) {
    const char lo = static_cast<char>(n & 0xff);
    const std::string mac{'\x00', '\x1d', '\xaa', '\x00', static_cast<char>(n >> 8), lo};
    const std::string ipv4{'\x01', '\xc0', '\x00', '\x02', lo}; // 192.0.2.n
    const std::string ipv6 = std::string{'\x02', '\x20', '\x01', '\x0d', '\xb8'} +
                             std::string(11, '\0') + std::string(1, lo); // 2001:db8::n
    const std::string num = std::to_string(n);
    const std::string portName = "ge1/0/" + std::to_string(port);
    const std::string binary{'\x00', '\x01', '\xfe', lo};
    const std::string circuit{'\x01', '\x04', '\x00', '\x00', '\x00', lo};
    // Chassis subtype, chassis ID, port subtype, port ID.
    switch ((n - 1) % 7) {
    case 0:
        return {4, mac, 5, portName};
    case 1:
        return {5, ipv4, 3, mac};
    case 2:
        return {7, binary, 4, ipv6};
    case 3:
        return {1, "chassis-" + num, 1, "uplink-" + num};
    case 4:
        return {2, "trunk-" + num, 2, "slot1/port" + num};
    case 5:
        return {3, "slot1", 6, circuit};
    default:
        return {6, "eth" + num, 7, num};
    }
}

void FillNeighbours(Switch& sw) {
    Store& store = sw.GetStore();
    Node& remote = store.At(kRemoteEntry);
    remote.ClearRows();
    if (store.At(Concat(kLldp, {1})).ScalarValue()->num != 1)
        return;
    std::vector<int> linked;
    for (int p = 1; p <= sw.GetModel().ports; ++p)
        if (ReadPort(sw, p).linkUp)
            linked.push_back(p);
    const auto wanted = store.At(kNeighboursControl).ScalarValue()->num;
    if (linked.empty())
        return;
    for (std::int64_t i = 0; i < wanted; ++i) {
        const int port = linked[static_cast<std::size_t>(i) % linked.size()];
        const auto n = static_cast<SubId>(i + 1);
        const Oid index{0, static_cast<SubId>(port), n};
        const Identity id = IdentityOf(n, port);
        remote.SetCell(index, 4, Value::Int(id.chassisSubtype));
        remote.SetCell(index, 5, Value::Str(id.chassisId));
        remote.SetCell(index, 6, Value::Int(id.portSubtype));
        remote.SetCell(index, 7, Value::Str(id.portId));
        remote.SetCell(index, 8, Value::Str("uplink to port " + std::to_string(port)));
        remote.SetCell(index, 9, Value::Str("neighbour-" + std::to_string(n)));
        remote.SetCell(index, 10, Value::Str("Simulated LLDP neighbour " + std::to_string(n)));
    }
}

void RegisterSettings(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(Concat(kLldp, {1}), "lldpState", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(1));
    store.AddScalar(Concat(kLldp, {2}), "lldpHoldMultiplier", Syntax::Int(2, 10), Access::ReadWrite,
                    Value::Int(4));
    store.AddScalar(Concat(kLldp, {3}), "lldpTxInterval", Syntax::Int(5, 32768), Access::ReadWrite,
                    Value::Int(30));
    store.AddScalar(Concat(kLldp, {4}), "lldpReinitDelay", Syntax::Int(1, 10), Access::ReadWrite,
                    Value::Int(2));
    store.AddScalar(Concat(kLldp, {5}), "lldpTxDelay", Syntax::Int(1, 8192), Access::ReadWrite,
                    Value::Int(2));
    // interval x hold <= 65535 and 4 x delay <= interval, on the request as a whole.
    auto relations = [](Txn& txn, const Oid&, const Value&) {
        Store& s = txn.GetStore();
        auto read = [&](SubId arc) { return txn.GetInt(s.At(Concat(kLldp, {arc})), {0}, 0); };
        return read(3) * read(2) <= 65535 && 4 * read(5) <= read(3) ? Err::kNone
                                                                    : Err::kInconsistentValue;
    };
    for (SubId arc : {2u, 3u, 5u})
        store.At(Concat(kLldp, {arc})).Check(relations);
    // Power PSE TLV of the PoE ports: 1 enable, 2 disable.
    Node& med = store.AddTable(Concat(kLldp, {8, 1}), "lldpMedPort");
    med.Col(1, "lldpMedPortIndex", Syntax::Int(), Access::ReadOnly)
        .Col(2, "lldpMedPowerTlv", EnabledDisabled(), Access::ReadWrite, Value::Int(1))
        .Live(1, [](const Oid& index) -> std::optional<Value> { return Value::Int(index[0]); });
    for (int p = 1; p <= sw.GetModel().poePorts; ++p)
        med.AddRow({static_cast<SubId>(p)});
}

void RegisterLldpMib(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(Concat(kLocal, {1}), "lldpLocChassisIdSubtype", Syntax::Int(1, 7),
                    Access::ReadOnly, Value::Int(4));
    store.AddScalar(Concat(kLocal, {2}), "lldpLocChassisId", Syntax::Str(), Access::ReadOnly,
                    Value::Str(sw.Mac()));
    const Node& sysName = store.At(Concat(kMib2, {1, 5}));
    const Node& sysDescr = store.At(Concat(kMib2, {1, 1}));
    store
        .AddScalar(Concat(kLocal, {3}), "lldpLocSysName", Syntax::Str(), Access::ReadOnly,
                   Value::Str(""))
        .Live([&sysName](const Oid&) { return sysName.ScalarValue(); });
    store
        .AddScalar(Concat(kLocal, {4}), "lldpLocSysDesc", Syntax::Str(), Access::ReadOnly,
                   Value::Str(""))
        .Live([&sysDescr](const Oid&) { return sysDescr.ScalarValue(); });

    Node& remote = store.AddTable(kRemoteEntry, "lldpRemEntry");
    remote.Col(1, "lldpRemTimeMark", Syntax::Ticks(), Access::NotAccessible)
        .Col(2, "lldpRemLocalPortNum", Syntax::Int(), Access::NotAccessible)
        .Col(3, "lldpRemIndex", Syntax::Int(), Access::NotAccessible)
        .Col(4, "lldpRemChassisIdSubtype", Syntax::Int(1, 7), Access::ReadOnly)
        .Col(5, "lldpRemChassisId", Syntax::Str(), Access::ReadOnly)
        .Col(6, "lldpRemPortIdSubtype", Syntax::Int(1, 7), Access::ReadOnly)
        .Col(7, "lldpRemPortId", Syntax::Str(), Access::ReadOnly)
        .Col(8, "lldpRemPortDesc", Syntax::Str(), Access::ReadOnly)
        .Col(9, "lldpRemSysName", Syntax::Str(), Access::ReadOnly)
        .Col(10, "lldpRemSysDesc", Syntax::Str(), Access::ReadOnly);

    store
        .AddScalar(kNeighboursControl, "ctlLldpNeighbours", Syntax::Int(0, 64), Access::ReadWrite,
                   Value::Int(sw.GetOptions().lldpNeighbours))
        .Persist(0, false);
    // Links, the LLDP state and the wanted count all change the neighbours.
    store.OnChanged([&sw] { FillNeighbours(sw); });
}

} // namespace

void RegisterLldp(Switch& sw) {
    RegisterSettings(sw);
    RegisterLldpMib(sw);
}

} // namespace nswsim
