// Spanning tree: the BRIDGE-MIB bridge scalars 17.2 and port table 17.2.15
// and the switch's RSTP objects 6.1 and 6.2.1. The BRIDGE-MIB port columns
// and the enterprise port table show the same settings: 6.2.1.5 is the
// configured path cost (0 automatic), dot1dStpPortPathCost the cost in use.
// A port runs the spanning tree or loopback detection, not both, and the
// members of an aggregated link share one priority and one path cost.
#include "Features.h"
#include "PortState.h"
#include "Trunk.h"

namespace nswsim {
namespace {

const Oid kStp = Concat(kMib2, {17, 2});
const Oid kStpPortEntry = Concat(kMib2, {17, 2, 15, 1});
const Oid kRstpPortEntry = Concat(kSwitchMib, {6, 2, 1});
const Oid kRstpState = Concat(kSwitchMib, {6, 1, 1});
const Oid kLoopbackEntry = Concat(kSwitchMib, {17, 5, 1});
constexpr SubId kLoopbackState = 2;

namespace rstp {
enum : SubId {
    kPriority = 2,
    kEnable = 4,
    kPathCost = 5,
    kEdge = 14,
    kPointToPoint = 16,
    kRestrictedRole = 17,
    kRestrictedTcn = 18
};
}

std::string BridgeId(Switch& sw, std::int64_t priority) {
    std::string id{static_cast<char>(priority >> 8), static_cast<char>(priority & 0xff)};
    return id + sw.Mac();
}

// Path cost by link speed (IEEE 802.1t) when the configured cost is 0.
std::int64_t PathCost(Switch& sw, int port) {
    const auto cost =
        sw.GetStore().At(kRstpPortEntry).ReadInt({static_cast<SubId>(port)}, rstp::kPathCost);
    if (cost != 0)
        return cost;
    PortView view = ReadPort(sw, port);
    const int mbps = view.linkUp ? view.speedMbps : view.maxMbps;
    return mbps >= 1000 ? 20000 : mbps >= 100 ? 200000 : 2000000;
}

// A BRIDGE-MIB port column writes its enterprise twin; one SET naming both
// with different values is refused rather than one of them silently winning.
int StageMirror(Txn& txn, Node& rstpPorts, const Oid& index, SubId column, const Value& v) {
    if (txn.Touches(rstpPorts, index, column) && txn.GetInt(rstpPorts, index, column) != v.num)
        return Err::kInconsistentValue;
    txn.Stage(rstpPorts, index, column, v);
    return Err::kNone;
}

bool LoopbackEnabled(const Txn& txn, const Oid& index) {
    const Node* lbd = txn.GetStore().Find(kLoopbackEntry);
    return lbd && txn.GetInt(*lbd, index, kLoopbackState) == 1;
}

// Whether every member of the port's aggregated link will have one priority
// and one configured path cost.
bool LinkAgrees(Switch& sw, const Txn& txn, const Node& rstpPorts, int port) {
    const int group = TrunkGroupOf(txn, port);
    if (group == 0)
        return true;
    const Oid own{static_cast<SubId>(port)};
    for (int p = 1; p <= sw.GetModel().ports; ++p) {
        if (p == port || TrunkGroupOf(txn, p) != group)
            continue;
        const Oid other{static_cast<SubId>(p)};
        for (SubId column : {SubId{rstp::kPriority}, SubId{rstp::kPathCost}})
            if (txn.GetInt(rstpPorts, other, column) != txn.GetInt(rstpPorts, own, column))
                return false;
    }
    return true;
}

// The rules between a port's spanning-tree settings and its other features.
void RegisterPortRules(Switch& sw, Node& rstpPorts) {
    Store& store = sw.GetStore();
    rstpPorts.RowCheck([&sw, &rstpPorts](Txn& txn, const Oid& index) {
        if (txn.GetInt(rstpPorts, index, rstp::kEnable) == 1 && LoopbackEnabled(txn, index))
            return Err::kInconsistentValue;
        // Only a change of priority or cost must keep the link together, so
        // a link that differs already can still have its ports enabled.
        const bool changes = txn.GetInt(rstpPorts, index, rstp::kPriority) !=
                                 rstpPorts.ReadInt(index, rstp::kPriority) ||
                             txn.GetInt(rstpPorts, index, rstp::kPathCost) !=
                                 rstpPorts.ReadInt(index, rstp::kPathCost);
        if (changes && !LinkAgrees(sw, txn, rstpPorts, static_cast<int>(index[0])))
            return Err::kInconsistentValue;
        return Err::kNone;
    });
    if (Node* lbd = store.Find(kLoopbackEntry))
        lbd->RowCheck([&rstpPorts](Txn& txn, const Oid& index) {
            return LoopbackEnabled(txn, index) && txn.GetInt(rstpPorts, index, rstp::kEnable) == 1
                       ? Err::kInconsistentValue
                       : Err::kNone;
        });
    // A link forms only from ports that agree, while the spanning tree runs.
    if (Node* trunks = store.Find(kTrunkEntry)) {
        RowCheckFn previous = trunks->RowChecker();
        trunks->RowCheck([&sw, &rstpPorts, previous](Txn& txn, const Oid& index) {
            if (previous)
                if (int err = previous(txn, index))
                    return err;
            if (txn.GetInt(txn.GetStore().At(kRstpState), {0}, 0) != 1)
                return Err::kNone;
            Node& self = txn.GetStore().At(kTrunkEntry);
            for (int port : PortListPorts(sw.GetModel(), txn.GetStr(self, index, trunk::kMembers)))
                if (!LinkAgrees(sw, txn, rstpPorts, port))
                    return Err::kInconsistentValue;
            return Err::kNone;
        });
    }
}

void RegisterBridgeScalars(Switch& sw) {
    Store& store = sw.GetStore();
    auto ro = [&](SubId arc, const char* name, Syntax syntax, Value v) -> Node& {
        return store.AddScalar(Concat(kStp, {arc}), name, std::move(syntax), Access::ReadOnly,
                               std::move(v));
    };
    const Node& priority =
        store
            .AddScalar(Concat(kStp, {2}), "dot1dStpPriority", Syntax::Int(0, 61440),
                       Access::ReadWrite, Value::Int(32768))
            .Check([](Txn&, const Oid&, const Value& v) {
                return v.num % 4096 == 0 ? Err::kNone : Err::kWrongValue;
            });
    ro(1, "dot1dStpProtocolSpecification", Syntax::Int(1, 3), Value::Int(3));
    ro(3, "dot1dStpTimeSinceTopologyChange", Syntax::Ticks(), Value::Ticks(0))
        .Live([&sw](const Oid&) -> std::optional<Value> { return Value::Ticks(sw.UptimeTicks()); });
    ro(4, "dot1dStpTopChanges", Syntax::Counter(), Value::Counter(1));
    // This switch is the root of its own tree.
    ro(5, "dot1dStpDesignatedRoot", Syntax::Str(8, 8), Value::Str(""))
        .Live([&sw, &priority](const Oid&) -> std::optional<Value> {
            return Value::Str(BridgeId(sw, priority.ScalarValue()->num));
        });
    ro(6, "dot1dStpRootCost", Syntax::Int(), Value::Int(0));
    ro(7, "dot1dStpRootPort", Syntax::Int(), Value::Int(0));
    const SubId running[] = {8, 9, 11}; // maxAge, helloTime, forwardDelay in use
    const SubId configured[] = {12, 13, 14};
    const char* runningNames[] = {"dot1dStpMaxAge", "dot1dStpHelloTime", "dot1dStpForwardDelay"};
    const char* names[] = {"dot1dStpBridgeMaxAge", "dot1dStpBridgeHelloTime",
                           "dot1dStpBridgeForwardDelay"};
    const std::int64_t lows[] = {600, 100, 400}, highs[] = {4000, 1000, 3000},
                       defaults[] = {2000, 200, 1500};
    for (int i = 0; i < 3; ++i)
        store.AddScalar(Concat(kStp, {configured[i]}), names[i], Syntax::Int(lows[i], highs[i]),
                        Access::ReadWrite, Value::Int(defaults[i]));
    for (int i = 0; i < 3; ++i) {
        const Node& source = store.At(Concat(kStp, {configured[i]}));
        ro(running[i], runningNames[i], Syntax::Int(), Value::Int(0)).Live([&source](const Oid&) {
            return source.ScalarValue();
        });
    }
    ro(10, "dot1dStpHoldTime", Syntax::Int(), Value::Int(100));
    // 802.1D timer relations (hundredths of a second), checked on the
    // request as a whole: maxAge >= 2 x (hello + 100), 2 x (delay - 100) >= maxAge.
    auto relations = [](Txn& txn, const Oid&, const Value&) {
        Store& s = txn.GetStore();
        auto read = [&](SubId arc) { return txn.GetInt(s.At(Concat(kStp, {arc})), {0}, 0); };
        const auto age = read(12), hello = read(13), delay = read(14);
        return age >= 2 * (hello + 100) && 2 * (delay - 100) >= age ? Err::kNone
                                                                    : Err::kInconsistentValue;
    };
    for (SubId arc : configured)
        store.At(Concat(kStp, {arc})).Check(relations);
}

void RegisterStpPorts(Switch& sw) {
    Node& rstpPorts = AddPortTable(sw, kRstpPortEntry, "rstpPort");
    rstpPorts
        .Col(rstp::kPriority, "rstpPortPriority", Syntax::Int(0, 240), Access::ReadWrite,
             Value::Int(128))
        .Col(rstp::kEnable, "rstpPortEnable", EnabledDisabled(), Access::ReadWrite, Value::Int(1))
        .Col(rstp::kPathCost, "rstpPortPathCost", Syntax::Int(0, 200000000), Access::ReadWrite,
             Value::Int(0))
        .Col(rstp::kEdge, "rstpPortEdge", Syntax::Enum({1, 2, 3}), Access::ReadWrite, Value::Int(3))
        .Col(rstp::kPointToPoint, "rstpPortP2p", Syntax::Enum({1, 2, 3}), Access::ReadWrite,
             Value::Int(3))
        .Col(rstp::kRestrictedRole, "rstpPortRestrictedRole", EnabledDisabled(), Access::ReadWrite,
             Value::Int(2))
        .Col(rstp::kRestrictedTcn, "rstpPortRestrictedTcn", EnabledDisabled(), Access::ReadWrite,
             Value::Int(2));
    rstpPorts.Check(rstp::kPriority, [](Txn&, const Oid&, const Value& v) {
        return v.num % 16 == 0 ? Err::kNone : Err::kWrongValue;
    });

    Store& store = sw.GetStore();
    Node& ports = store.AddTable(kStpPortEntry, "dot1dStpPortEntry");
    ports.Col(1, "dot1dStpPort", Syntax::Int(1, 65535), Access::ReadOnly)
        .Col(2, "dot1dStpPortPriority", Syntax::Int(0, 255), Access::ReadWrite)
        .Col(3, "dot1dStpPortState", Syntax::Int(1, 6), Access::ReadOnly)
        .Col(4, "dot1dStpPortEnable", EnabledDisabled(), Access::ReadWrite)
        .Col(5, "dot1dStpPortPathCost", Syntax::Int(0, 200000000), Access::ReadWrite)
        .Col(6, "dot1dStpPortDesignatedRoot", Syntax::Str(8, 8), Access::ReadOnly)
        .Col(7, "dot1dStpPortDesignatedCost", Syntax::Int(), Access::ReadOnly, Value::Int(0))
        .Col(8, "dot1dStpPortDesignatedBridge", Syntax::Str(8, 8), Access::ReadOnly)
        .Col(9, "dot1dStpPortDesignatedPort", Syntax::Str(2, 2), Access::ReadOnly)
        .Col(10, "dot1dStpPortForwardTransitions", Syntax::Counter(), Access::ReadOnly,
             Value::Counter(1));
    for (int p = 1; p <= sw.GetModel().ports; ++p)
        ports.AddRow({static_cast<SubId>(p)});
    auto port = [](const Oid& index) { return static_cast<int>(index[0]); };
    ports.Live(
        1, [port](const Oid& index) -> std::optional<Value> { return Value::Int(port(index)); });
    // The BRIDGE-MIB columns show the enterprise port settings and write them.
    const std::pair<SubId, SubId> mirrored[] = {{2, rstp::kPriority}, {4, rstp::kEnable}};
    for (auto [column, source] : mirrored) {
        ports.Live(column, [&rstpPorts, source = source](const Oid& index) {
            return rstpPorts.Read(index, source);
        });
        ports.Check(column,
                    [&rstpPorts, source = source](Txn& txn, const Oid& index, const Value& v) {
                        if (source == rstp::kPriority && v.num % 16 != 0)
                            return Err::kWrongValue;
                        return StageMirror(txn, rstpPorts, index, source, v);
                    });
    }
    ports.Live(5, [&sw, port](const Oid& index) -> std::optional<Value> {
        return Value::Int(PathCost(sw, port(index)));
    });
    // Writing the cost in use sets the configured cost (0: automatic again).
    ports.Check(5, [&rstpPorts](Txn& txn, const Oid& index, const Value& v) {
        return StageMirror(txn, rstpPorts, index, rstp::kPathCost, v);
    });
    // Forwarding while linked (no loops in a simulated network); disabled otherwise.
    ports.Live(3, [&sw, &rstpPorts, port](const Oid& index) -> std::optional<Value> {
        const bool on = rstpPorts.ReadInt(index, rstp::kEnable) == 1;
        return Value::Int(on && ReadPort(sw, port(index)).linkUp ? 5 : 1);
    });
    const Node& priority = store.At(Concat(kStp, {2}));
    auto ownId = [&sw, &priority](const Oid&) -> std::optional<Value> {
        return Value::Str(BridgeId(sw, priority.ScalarValue()->num));
    };
    ports.Live(6, ownId).Live(8, ownId);
    ports.Live(9, [&rstpPorts, port](const Oid& index) -> std::optional<Value> {
        const auto prio = rstpPorts.ReadInt(index, rstp::kPriority);
        return Value::Str(std::string{static_cast<char>(prio), static_cast<char>(port(index))});
    });
}

} // namespace

void RegisterStp(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(kRstpState, "rstpState", EnabledDisabled(), Access::ReadWrite, Value::Int(2));
    // 2 RSTP, 0 STP compatible.
    store.AddScalar(Concat(kSwitchMib, {6, 1, 2}), "rstpVersion", Syntax::Enum({0, 2}),
                    Access::ReadWrite, Value::Int(2));
    RegisterBridgeScalars(sw);
    RegisterStpPorts(sw);
    RegisterPortRules(sw, store.At(kRstpPortEntry));
}

} // namespace nswsim
