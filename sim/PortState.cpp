#include "PortState.h"

namespace nswsim {

int MaxSpeedMbps(const Model& model, int media) {
    if (media == 3)
        return 100;
    if (media == 1 && !model.allGiga)
        return 100;
    return 1000;
}

bool SpeedAllowed(const Model& model, int media, int speed) {
    using namespace portctl;
    if (speed == kDisable)
        return true;
    switch (media) {
    case 3:
        return speed == k100Full || speed == k100Half; // 100Base-x SFP: no auto, no 10M
    case 4:
        return speed == k1000Full || speed == kAuto; // 1000Base-x SFP
    default:
        return speed != k1000Full || MaxSpeedMbps(model, media) >= 1000;
    }
}

bool MediaAllowed(const Model& model, int port, int media) {
    return model.IsCombo(port) ? media >= 2 && media <= 4 : media == 1;
}

PortView ReadPort(Switch& sw, int port) {
    using namespace portctl;
    Store& store = sw.GetStore();
    const Node& ctl = store.At(kCtlPortEntry);
    const Node& cfg = store.At(kPortCtlEntry);
    const Oid index{static_cast<SubId>(port)};
    PortView view;
    const int speed = static_cast<int>(cfg.ReadInt(index, kSpeed, kAuto));
    view.media = static_cast<int>(ctl.ReadInt(index, ctlport::kMedia, 1));
    view.adminUp = speed != kDisable;
    view.maxMbps = MaxSpeedMbps(sw.GetModel(), view.media);
    view.flowControl = cfg.ReadInt(index, kFlow, 2) == 1;
    const bool cable = ctl.ReadInt(index, ctlport::kLink, 2) == 1;
    view.linkUp = view.adminUp && cable && SpeedAllowed(sw.GetModel(), view.media, speed);
    if (!view.linkUp)
        return view;
    const int partner = static_cast<int>(ctl.ReadInt(index, ctlport::kPartnerSpeed, 1000));
    const bool partnerFull = ctl.ReadInt(index, ctlport::kPartnerDuplex, 2) == 2;
    switch (speed) {
    case k1000Full:
        view.speedMbps = 1000;
        break;
    case k100Full:
    case k100Half:
        view.speedMbps = 100;
        break;
    case k10Full:
    case k10Half:
        view.speedMbps = 10;
        break;
    default:
        view.speedMbps = std::min(partner, view.maxMbps);
        break;
    }
    view.fullDuplex = speed == kAuto ? partnerFull : (speed != k100Half && speed != k10Half);
    if (view.speedMbps >= 1000)
        view.operMode = kOper1000Full;
    else if (view.speedMbps >= 100)
        view.operMode = view.fullDuplex ? kOper100Full : kOper100Half;
    else
        view.operMode = view.fullDuplex ? kOper10Full : kOper10Half;
    return view;
}

} // namespace nswsim

namespace nswsim {

std::string NormalisePortList(const Model& model, const std::string& bytes) {
    return PortListBytes(model, PortListPorts(model, bytes));
}

CheckFn PortListCheck(Switch& sw, Node& node, SubId column, CheckFn more) {
    return [&sw, &node, column, more](Txn& txn, const Oid& index, const Value& value) {
        Value normal = Value::Str(NormalisePortList(sw.GetModel(), value.bytes));
        if (normal.bytes != value.bytes)
            txn.Stage(node, index, column, normal);
        return more ? more(txn, index, normal) : Err::kNone;
    };
}

} // namespace nswsim

namespace nswsim {

Node& AddPortTable(Switch& sw, const Oid& entry, std::string name) {
    Node& table = sw.GetStore().AddTable(entry, std::move(name));
    table.Col(1, table.Name() + "Port", Syntax::Int(1, sw.GetModel().ports), Access::ReadOnly)
        .Live(1, [](const Oid& index) -> std::optional<Value> { return Value::Int(index[0]); });
    for (int p = 1; p <= sw.GetModel().ports; ++p)
        table.AddRow({static_cast<SubId>(p)});
    return table;
}

} // namespace nswsim
