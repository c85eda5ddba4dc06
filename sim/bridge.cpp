// BRIDGE-MIB base and aging time, and the Q-BRIDGE forwarding table
// dot1qTpFdbTable, whose size a test chooses (--fdb, control 32473.99.2.4).
#include "Features.h"

namespace nswsim {
namespace {

const Oid kFdbEntry = Concat(kMib2, {17, 7, 1, 2, 2, 1});

void FillFdb(Switch& sw, int entries) {
    Node& fdb = sw.GetStore().At(kFdbEntry);
    fdb.ClearRows();
    const int ports = sw.GetModel().ports;
    // The switch's own address first (status "self"), then learned hosts.
    Oid own{1};
    for (char octet : sw.Mac())
        own.push_back(static_cast<unsigned char>(octet));
    fdb.SetCell(own, 2, Value::Int(0));
    fdb.SetCell(own, 3, Value::Int(4));
    for (int i = 0; i < entries; ++i) {
        const auto n = static_cast<SubId>(i);
        const Oid index{1, 0x00, 0x1b, 0x21, (n >> 16) & 0xff, (n >> 8) & 0xff, n & 0xff};
        fdb.SetCell(index, 2, Value::Int(i % ports + 1));
        // Learned; static (mgmt) entries come from the static MAC table 9.4.
        fdb.SetCell(index, 3, Value::Int(3));
    }
}

} // namespace

void RegisterBridge(Switch& sw) {
    Store& store = sw.GetStore();
    const Oid bridge = Concat(kMib2, {17});
    store.AddScalar(Concat(bridge, {1, 1}), "dot1dBaseBridgeAddress", Syntax::Str(6, 6),
                    Access::ReadOnly, Value::Str(sw.Mac()));
    store.AddScalar(Concat(bridge, {1, 2}), "dot1dBaseNumPorts", Syntax::Int(), Access::ReadOnly,
                    Value::Int(sw.GetModel().ports));
    store.AddScalar(Concat(bridge, {1, 3}), "dot1dBaseType", Syntax::Int(1, 4), Access::ReadOnly,
                    Value::Int(2));
    store.AddScalar(Concat(bridge, {4, 2}), "dot1dTpAgingTime", Syntax::Int(10, 1000000),
                    Access::ReadWrite, Value::Int(300));

    Node& fdb = store.AddTable(kFdbEntry, "dot1qTpFdbEntry");
    fdb.Col(1, "dot1qTpFdbAddress", Syntax::Str(6, 6), Access::NotAccessible)
        .Col(2, "dot1qTpFdbPort", Syntax::Int(0, 65535), Access::ReadOnly)
        .Col(3, "dot1qTpFdbStatus", Syntax::Int(1, 5), Access::ReadOnly);
    FillFdb(sw, sw.GetOptions().fdbEntries);

    // Control: write N to refill the table with N learned entries.
    store
        .AddScalar(Concat(kControl, {2, 4}), "ctlFdbEntries", Syntax::Int(0, 100000),
                   Access::ReadWrite, Value::Int(0))
        .Persist(0, false)
        .Live([&sw](const Oid&) -> std::optional<Value> {
            return Value::Int(static_cast<std::int64_t>(sw.GetStore().At(kFdbEntry).Rows().size()) -
                              1);
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([&sw, n = static_cast<int>(v.num)] {
                FillFdb(sw, n);
                sw.GetStore().NotifyChanged(); // static entries come back
            });
            return Err::kNone;
        });
}

} // namespace nswsim
