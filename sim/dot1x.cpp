// 802.1X (11): RADIUS server, global state and timers, port access control.
#include "Features.h"
#include "PortState.h"
#include "Trunk.h"

namespace nswsim {

void RegisterDot1x(Switch& sw) {
    Store& store = sw.GetStore();
    const Oid dot1x = Concat(kSwitchMib, {11});
    store
        .AddScalar(Concat(dot1x, {1, 1}), "dot1xRadiusServer", Syntax::Ip(), Access::ReadWrite,
                   Value::Ip(0))
        .Check([](Txn&, const Oid&, const Value& v) {
            return v.IpHostOrder() == 0 ? Err::kWrongValue : Err::kNone;
        });
    store.AddScalar(Concat(dot1x, {1, 2}), "dot1xRadiusKey", Syntax::Str(1, 32), Access::ReadWrite,
                    Value::Str(""));
    const Oid global = Concat(dot1x, {2});
    Node& state = store.AddScalar(Concat(global, {1}), "dot1xState", EnabledDisabled(),
                                  Access::ReadWrite, Value::Int(2));
    store.AddScalar(Concat(global, {2}), "dot1xReAuthEnabled", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(2));
    const struct {
        SubId arc;
        const char* name;
        std::int64_t lo, hi, def;
    } timers[] = {{3, "dot1xQuietPeriod", 0, 65535, 60},
                  {4, "dot1xTxPeriod", 1, 65535, 30},
                  {5, "dot1xSuppTimeout", 1, 65535, 30},
                  {6, "dot1xServerTimeout", 1, 65535, 30},
                  {7, "dot1xMaxReq", 1, 10, 2}};
    for (const auto& t : timers)
        store.AddScalar(Concat(global, {t.arc}), t.name, Syntax::Int(t.lo, t.hi), Access::ReadWrite,
                        Value::Int(t.def));
    store.AddScalar(Concat(global, {8}), "dot1xReAuthPeriod", Syntax::Gauge(1, 4294967295LL),
                    Access::ReadWrite, Value::Gauge(3600));

    // Port control: 1 force unauthorized, 2 auto, 3 force authorized.
    Node& ports = AddPortTable(sw, Concat(global, {9, 1}), "dot1xPort");
    ports.Col(2, "dot1xPortControl", Syntax::Enum({1, 2, 3}), Access::ReadWrite, Value::Int(3))
        .Col(3, "dot1xPortStatus", Syntax::Enum({1, 2}), Access::ReadOnly);
    ports.Live(3, [&ports, &state](const Oid& index) -> std::optional<Value> {
        const auto control = ports.ReadInt(index, 2);
        const bool on = state.ScalarValue()->num == 1;
        return Value::Int(control == 3 || (!on && control == 2) ? 1 : 2);
    });
    // Aggregated ports stay out of 802.1X, and some port keeps access.
    ports.Check(2, [](Txn& txn, const Oid& index, const Value& v) {
        return v.num != 3 && TrunkGroupOf(txn, static_cast<int>(index[0])) != 0
                   ? Err::kInconsistentValue
                   : Err::kNone;
    });
    ports.RowCheck([&sw, &ports](Txn& txn, const Oid&) {
        for (int p = 1; p <= sw.GetModel().ports; ++p)
            if (txn.GetInt(ports, {static_cast<SubId>(p)}, 2) == 3)
                return Err::kNone;
        return Err::kInconsistentValue;
    });
}

} // namespace nswsim
