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
        const std::string mac{
            '\x00', '\x1d', '\xaa', '\x00', static_cast<char>(n >> 8), static_cast<char>(n)};
        remote.SetCell(index, 4, Value::Int(4)); // macAddress
        remote.SetCell(index, 5, Value::Str(mac));
        const bool named = n % 2 == 1;
        remote.SetCell(index, 6, Value::Int(named ? 5 : 3)); // interfaceName or macAddress
        remote.SetCell(index, 7, Value::Str(named ? "ge1/0/" + std::to_string(port) : mac));
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
