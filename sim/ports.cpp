// Port configuration: the port control table 1.13 (speed/duplex, flow
// control, operating mode, media) and jumbo frames 1.12.
#include "Features.h"
#include "PortState.h"
#include "Trunk.h"

namespace nswsim {

void RegisterPorts(Switch& sw) {
    using namespace portctl;
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();

    Node& table = store.AddTable(kPortCtlEntry, "portCtrlEntry");
    table.Col(kIndex, "portCtrlIndex", Syntax::Int(1, model.ports), Access::ReadOnly)
        .Col(kSpeed, "portCtrlSpeed", Syntax::Int(k1000Full, kDisable), Access::ReadWrite,
             Value::Int(kAuto))
        .Col(kOperMode, "portCtrlOperMode", Syntax::Int(1, 6), Access::ReadOnly)
        .Col(kFlow, "portCtrlFlowControl", EnabledDisabled(), Access::ReadWrite, Value::Int(2))
        .Col(kOperFlow, "portCtrlOperFlowControl", EnabledDisabled(), Access::ReadOnly)
        .Col(kMedia, "portCtrlMedia", Syntax::Int(1, 4), Access::ReadOnly);
    for (int p = 1; p <= model.ports; ++p)
        table.SetCell({static_cast<SubId>(p)}, kIndex, Value::Int(p));

    table.Live(kOperMode, [&sw](const Oid& index) -> std::optional<Value> {
        return Value::Int(ReadPort(sw, static_cast<int>(index[0])).operMode);
    });
    table.Live(kOperFlow, [&sw](const Oid& index) -> std::optional<Value> {
        PortView port = ReadPort(sw, static_cast<int>(index[0]));
        return Value::Int(port.linkUp && port.flowControl ? 1 : 2);
    });
    table.Live(kMedia, [&sw](const Oid& index) -> std::optional<Value> {
        return Value::Int(ReadPort(sw, static_cast<int>(index[0])).media);
    });
    // The medium decides what a port can run at; an aggregated port keeps full duplex.
    table.Check(kSpeed, [&sw](Txn& txn, const Oid& index, const Value& v) {
        const int port = static_cast<int>(index[0]);
        if (!SpeedAllowed(sw.GetModel(), ReadPort(sw, port).media, static_cast<int>(v.num)))
            return Err::kWrongValue;
        if ((v.num == k100Half || v.num == k10Half) && TrunkGroupOf(txn, port) != 0)
            return Err::kInconsistentValue;
        return Err::kNone;
    });

    store.AddScalar(Concat(kSwitchMib, {1, 12}), "jumboFrameState", EnabledDisabled(),
                    Access::ReadWrite, Value::Int(2));
}

bool JumboEnabled(Switch& sw) {
    return sw.GetStore().At(Concat(kSwitchMib, {1, 12})).ScalarValue()->num == 1;
}

} // namespace nswsim
