// Device state: reboot 1.9, save 1.10 and the fan 1.15.
#include "Features.h"

#include <iostream>

namespace nswsim {

void RegisterDevice(Switch& sw) {
    Store& store = sw.GetStore();
    auto action = [&](SubId arc, const char* name) -> Node& {
        // Write 1 to act; reads 2 (nothing pending).
        return store
            .AddScalar(Concat(kSwitchMib, {1, arc}), name, Syntax::Enum({1, 2}), Access::ReadWrite,
                       Value::Int(2))
            .Persist(0, false)
            .Live([](const Oid&) -> std::optional<Value> { return Value::Int(2); });
    };
    action(9, "deviceReboot").Check([&sw](Txn& txn, const Oid&, const Value& v) {
        if (v.num == 1)
            txn.OnCommit([&sw] { sw.Reboot(); });
        return Err::kNone;
    });
    // Saving happens while the request is checked, so a failed write is
    // reported to the manager instead of a false success.
    action(10, "deviceSave").Check([&sw](Txn&, const Oid&, const Value& v) {
        if (v.num != 1)
            return Err::kNone;
        std::string error;
        if (sw.Save(error))
            return Err::kNone;
        std::cerr << "nsw-sim: " << error << '\n';
        return Err::kGenErr;
    });

    if (sw.GetModel().hasFan) {
        const Node& fan = store.At(Concat(kControl, {2, 1}));
        store
            .AddScalar(Concat(kSwitchMib, {1, 15, 1}), "fanStatus", Syntax::Enum({1, 2}),
                       Access::ReadOnly, Value::Int(1))
            .Live([&fan](const Oid&) { return fan.ScalarValue(); });
    }
}

} // namespace nswsim
