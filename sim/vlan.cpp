// 802.1Q VLANs: the VLAN mode 7.5, static VLANs 7.6, port VIDs 7.7 and the
// per-VLAN multicast filtering mode 7.8.
#include "Vlan.h"
#include "Features.h"
#include "Index.h"
#include "PortState.h"
#include "Trunk.h"

namespace nswsim {

namespace {
const Oid kMulticastEntry = Concat(kSwitchMib, {7, 8, 1});
const Oid kVoiceState = Concat(kSwitchMib, {21, 1, 1});
const Oid kSurveillanceState = Concat(kSwitchMib, {26, 1, 1});

bool Enabled(const Txn& txn, const Oid& scalar) {
    const Node* node = txn.GetStore().Find(scalar);
    return node && txn.GetInt(*node, {0}, 0) == 1;
}

// Back to the factory VLANs: VLAN 1 holding every port, every PVID 1.
void ResetVlans(Switch& sw) {
    Store& store = sw.GetStore();
    Node& vlans = store.At(kVlanEntry);
    const Config& factory = sw.Factory();
    vlans.ClearRows();
    for (const auto& [instance, value] : factory.cells)
        if (StartsWith(instance, kVlanEntry))
            vlans.SetCell(Suffix(instance, kVlanEntry.size() + 1), instance[kVlanEntry.size()],
                          value);
    Node& pvids = store.At(kPvidEntry);
    for (const auto& [index, row] : pvids.Rows())
        pvids.SetCell(index, 1, Value::Gauge(1));
    store.NotifyChanged();
}
} // namespace

bool VlanActive(const Txn& txn, std::int64_t vid) {
    if (vid < 1 || vid > 4094)
        return false;
    const Node& vlans = txn.GetStore().At(kVlanEntry);
    return txn.GetInt(vlans, {static_cast<SubId>(vid)}, vlan::kRowStatus) == RowStatus::kActive;
}

void RegisterVlan(Switch& sw) {
    using namespace vlan;
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    std::vector<int> all;
    for (int p = 1; p <= model.ports; ++p)
        all.push_back(p);

    // Changing the mode resets the VLANs; asymmetric VLANs do not mix with
    // the voice and surveillance VLANs.
    store
        .AddScalar(kVlanMode, "vlanMode", Syntax::Enum({kAsymmetric, kSymmetric}),
                   Access::ReadWrite, Value::Int(kSymmetric))
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            const Node& mode = txn.GetStore().At(kVlanMode);
            if (v.num == mode.ScalarValue()->num)
                return Err::kNone;
            if (v.num == kAsymmetric &&
                (Enabled(txn, kVoiceState) || Enabled(txn, kSurveillanceState)))
                return Err::kInconsistentValue;
            txn.OnCommit([&sw] { ResetVlans(sw); });
            return Err::kNone;
        });

    Node& vlans = store.AddTable(kVlanEntry, "vlanStaticEntry");
    vlans.Col(kName, "vlanStaticName", Syntax::Str(0, 32), Access::ReadCreate)
        .Col(kEgress, "vlanStaticEgressPorts", PortListSyntax(), Access::ReadCreate,
             Value::Str(PortListBytes(model, {})))
        .Col(kUntagged, "vlanStaticUntaggedPorts", PortListSyntax(), Access::ReadCreate,
             Value::Str(PortListBytes(model, {})))
        .RowStatusCol(kRowStatus, "vlanStaticRowStatus")
        .Index(IntIndex(1, 4094))
        .MaxRows(kMaxVlans)
        // The VLAN editor names a new VLAN before it activates it.
        .CreateByAnyColumn();
    // An aggregated link joins or leaves a VLAN as a whole.
    auto wholeTrunks = [&sw](Txn& txn, const Oid&, const Value& v) {
        return SplitsTrunk(txn, sw.GetModel(), v.bytes) ? Err::kInconsistentValue : Err::kNone;
    };
    vlans.Check(kEgress, PortListCheck(sw, vlans, kEgress, wholeTrunks));
    vlans.Check(kUntagged, PortListCheck(sw, vlans, kUntagged, wholeTrunks));
    vlans.RowCheck([&sw](Txn& txn, const Oid& index) {
        Node& self = txn.GetStore().At(kVlanEntry);
        if (!txn.Destroying(self, index))
            return Err::kNone;
        if (index[0] == 1)
            return Err::kInconsistentValue; // the default VLAN stays
        // A port's VID must name a VLAN: asymmetric mode refuses, symmetric
        // mode gives those ports back to VLAN 1.
        Node& pvids = txn.GetStore().At(kPvidEntry);
        const bool asymmetric = txn.GetInt(txn.GetStore().At(kVlanMode), {0}, 0) == kAsymmetric;
        for (int p = 1; p <= sw.GetModel().ports; ++p) {
            const Oid port{static_cast<SubId>(p)};
            if (txn.GetInt(pvids, port, 1) != static_cast<std::int64_t>(index[0]))
                continue;
            if (asymmetric)
                return Err::kInconsistentValue;
            txn.Stage(pvids, port, 1, Value::Gauge(1));
        }
        return Err::kNone;
    });
    vlans.SetCell({1}, kName, Value::Str("default"));
    vlans.SetCell({1}, kEgress, Value::Str(PortListBytes(model, all)));
    vlans.SetCell({1}, kUntagged, Value::Str(PortListBytes(model, all)));
    vlans.SetCell({1}, kRowStatus, Value::Int(RowStatus::kActive));

    Node& pvids = store.AddTable(kPvidEntry, "vlanPortEntry");
    pvids.Col(1, "vlanPortPvid", Syntax::Gauge(1, 4094), Access::ReadWrite, Value::Gauge(1));
    for (int p = 1; p <= model.ports; ++p)
        pvids.AddRow({static_cast<SubId>(p)});
    pvids.Check(1, [](Txn& txn, const Oid&, const Value& v) {
        return VlanActive(txn, v.num) ? Err::kNone : Err::kInconsistentValue;
    });

    // One multicast filtering row per VLAN: 0 forwards unregistered groups,
    // 1 filters them (2 is taken as filtering too).
    Node& multicast = store.AddTable(kMulticastEntry, "vlanMulticastEntry");
    multicast.Col(1, "vlanMulticastVid", Syntax::Int(1, 4094), Access::ReadOnly)
        .Col(2, "vlanMulticastMode", Syntax::Int(0, 2), Access::ReadWrite, Value::Int(0))
        .Live(1, IndexIntColumn())
        .CreateByAnyColumn()
        .Index([&vlans](const Oid& index) { return index.size() == 1 && vlans.HasRow(index); });
    store.OnChanged([&vlans, &multicast] {
        for (const auto& [index, row] : vlans.Rows())
            if (!multicast.HasRow(index))
                multicast.AddRow(index);
        std::vector<Oid> gone;
        for (const auto& [index, row] : multicast.Rows())
            if (!vlans.HasRow(index))
                gone.push_back(index);
        for (const Oid& index : gone)
            multicast.RemoveRow(index);
    });
    multicast.AddRow({1});
}

} // namespace nswsim
