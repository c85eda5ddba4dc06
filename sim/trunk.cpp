// Link aggregation 8.1: the global state and eight groups of 2 to 8 ports.
#include "Trunk.h"
#include "Features.h"
#include "PortState.h"

namespace nswsim {

int TrunkGroupOf(const Txn& txn, int port) {
    const Node* table = txn.GetStore().Find(kTrunkEntry);
    if (!table)
        return 0;
    for (SubId g = 1; g <= trunk::kGroups; ++g)
        if (PortListHas(txn.GetStr(*table, {g}, trunk::kMembers), port))
            return static_cast<int>(g);
    return 0;
}

bool SplitsTrunk(const Txn& txn, const Model& model, const std::string& ports) {
    const Node* table = txn.GetStore().Find(kTrunkEntry);
    if (!table)
        return false;
    for (SubId g = 1; g <= trunk::kGroups; ++g) {
        int in = 0, out = 0;
        for (int port : PortListPorts(model, txn.GetStr(*table, {g}, trunk::kMembers)))
            ++(PortListHas(ports, port) ? in : out);
        if (in && out)
            return true;
    }
    return false;
}

void RegisterTrunk(Switch& sw) {
    using namespace trunk;
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    store.AddScalar(Concat(kSwitchMib, {8, 1, 2}), "trunkState", EnabledDisabled(),
                    Access::ReadWrite, Value::Int(2));

    Node& table = store.AddTable(kTrunkEntry, "trunkEntry");
    table.Col(kIndex, "trunkIndex", Syntax::Int(1, kGroups), Access::ReadOnly)
        .Col(kMembers, "trunkMembers", PortListSyntax(), Access::ReadWrite,
             Value::Str(PortListBytes(model, {})))
        .Col(kMode, "trunkMode", Syntax::Enum({1, 2, 3}), Access::ReadWrite, Value::Int(3));
    for (SubId g = 1; g <= kGroups; ++g)
        table.SetCell({g}, kIndex, Value::Int(g));

    table.Check(kMembers,
                PortListCheck(sw, table, kMembers, [&sw](Txn&, const Oid&, const Value& v) {
                    const std::size_t count = PortListPorts(sw.GetModel(), v.bytes).size();
                    return count == 0 || (count >= 2 && count <= 8) ? Err::kNone : Err::kWrongValue;
                }));
    // A port joins one group at most and only at full duplex.
    table.RowCheck([&sw](Txn& txn, const Oid& index) {
        Node& self = txn.GetStore().At(kTrunkEntry);
        Node& ports = txn.GetStore().At(kPortCtlEntry);
        for (int port : PortListPorts(sw.GetModel(), txn.GetStr(self, index, kMembers))) {
            for (SubId g = 1; g <= kGroups; ++g)
                if (g != index[0] && PortListHas(txn.GetStr(self, {g}, kMembers), port))
                    return Err::kInconsistentValue;
            const auto speed = txn.GetInt(ports, {static_cast<SubId>(port)}, portctl::kSpeed);
            if (speed == portctl::k100Half || speed == portctl::k10Half)
                return Err::kInconsistentValue;
        }
        return Err::kNone;
    });
}

} // namespace nswsim
