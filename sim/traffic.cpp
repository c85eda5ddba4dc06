// IGMP snooping 19 and the static unicast address table 9.4 (whose entries
// also appear in dot1qTpFdbTable with status mgmt(5)). Mirroring 18 and rate
// control 13.1.2 live in switching.cpp, per-port storm control 13.4.2 in
// security.cpp.
#include "Features.h"
#include "Index.h"
#include "Vlan.h"

#include <set>

namespace nswsim {
namespace {

const Oid kIgmp = Concat(kSwitchMib, {19});
const Oid kIgmpVlanEntry = Concat(kIgmp, {4, 1});
const Oid kStaticMacEntry = Concat(kSwitchMib, {9, 4, 1});
const Oid kFdbEntry = Concat(kMib2, {17, 7, 1, 2, 2, 1});
constexpr std::size_t kMaxStaticMacs = 256;

void RegisterIgmpSnooping(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(Concat(kIgmp, {1}), "igmpSnoopingState", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(2));
    store.AddScalar(Concat(kIgmp, {2}), "igmpSnoopingHostTimeout", Syntax::Int(130, 1225),
                    Access::ReadWrite, Value::Int(260));
    store.AddScalar(Concat(kIgmp, {3}), "igmpSnoopingQuerierState", EnabledDisabled(),
                    Access::ReadWrite, Value::Int(2));

    // One row per VLAN, as the multicast filtering table: rows come and go
    // with the VLANs.
    Node& vlans = store.At(kVlanEntry);
    Node& igmp = store.AddTable(kIgmpVlanEntry, "igmpSnoopingVlanEntry");
    igmp.Col(1, "igmpSnoopingVlanVid", Syntax::Int(1, 4094), Access::ReadOnly)
        .Col(2, "igmpSnoopingVlanState", EnabledDisabled(), Access::ReadWrite, Value::Int(2))
        .Col(3, "igmpSnoopingVlanFastLeave", EnabledDisabled(), Access::ReadWrite, Value::Int(2))
        .Live(1, IndexIntColumn())
        .CreateByAnyColumn()
        .Index([&vlans](const Oid& index) { return index.size() == 1 && vlans.HasRow(index); });
    store.OnChanged([&vlans, &igmp] {
        for (const auto& [index, row] : vlans.Rows())
            if (!igmp.HasRow(index))
                igmp.AddRow(index);
        std::vector<Oid> gone;
        for (const auto& [index, row] : igmp.Rows())
            if (!vlans.HasRow(index))
                gone.push_back(index);
        for (const Oid& index : gone)
            igmp.RemoveRow(index);
    });
    igmp.AddRow({1});
}

// Index: VID, then the six octets of a unicast MAC that is not all zero.
bool StaticMacIndex(const Oid& index) {
    if (index.size() != 7 || index[0] < 1 || index[0] > 4094)
        return false;
    bool zero = true;
    for (std::size_t i = 1; i < 7; ++i) {
        if (index[i] > 255)
            return false;
        zero = zero && index[i] == 0;
    }
    return !zero && (index[1] & 1) == 0;
}

void RegisterStaticMacs(Switch& sw) {
    Store& store = sw.GetStore();
    const int ports = sw.GetModel().ports;
    Node& macs = store.AddTable(kStaticMacEntry, "staticMacEntry");
    macs.Col(1, "staticMacVid", Syntax::Int(1, 4094), Access::ReadOnly)
        .Col(2, "staticMacAddress", Syntax::Str(6, 6), Access::ReadOnly)
        .Col(3, "staticMacPort", Syntax::Int(1, ports), Access::ReadCreate)
        .RowStatusCol(4, "staticMacRowStatus")
        .Live(1, IndexIntColumn())
        .Live(2,
              [](const Oid& index) -> std::optional<Value> {
                  if (index.size() != 7)
                      return std::nullopt;
                  std::string mac;
                  for (std::size_t i = 1; i < 7; ++i)
                      mac.push_back(static_cast<char>(index[i]));
                  return Value::Str(mac);
              })
        .Index(StaticMacIndex)
        .MaxRows(kMaxStaticMacs);
    // An entry needs its VLAN.
    macs.RowCheck([&macs](Txn& txn, const Oid& index) {
        if (txn.Destroying(macs, index))
            return Err::kNone;
        return VlanActive(txn, index[0]) ? Err::kNone : Err::kInconsistentValue;
    });

    // The forwarding table shows every active entry as mgmt(5) under its
    // VLAN; entries of deleted VLANs go with them.
    auto shown = std::make_shared<std::set<Oid>>();
    Node& vlans = store.At(kVlanEntry);
    store.OnChanged([&macs, &vlans, &store, shown] {
        std::vector<Oid> orphans;
        for (const auto& [index, row] : macs.Rows())
            if (!vlans.HasRow({index[0]}))
                orphans.push_back(index);
        for (const Oid& index : orphans)
            macs.RemoveRow(index);
        Node& fdb = store.At(kFdbEntry);
        for (const Oid& index : *shown)
            fdb.RemoveRow(index);
        shown->clear();
        for (const auto& [index, row] : macs.Rows()) {
            if (macs.ReadInt(index, 4) != 1)
                continue;
            fdb.SetCell(index, 2, Value::Int(macs.ReadInt(index, 3)));
            fdb.SetCell(index, 3, Value::Int(5));
            shown->insert(index);
        }
    });
}

} // namespace

void RegisterTraffic(Switch& sw) {
    RegisterIgmpSnooping(sw);
    RegisterStaticMacs(sw);
}

} // namespace nswsim
