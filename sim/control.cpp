// The simulator-only control subtree 1.3.6.1.4.1.32473.99, reachable with the
// control community alone: a test changes the physical side of the switch
// here (links, media, PoE devices, fan, reachability), reads the request
// counters and injects faults.
#include "Features.h"
#include "PortState.h"

namespace nswsim {
namespace {

// Default cabling: two of every three copper ports linked, fibre unplugged.
bool LinkedAtStart(const Model& model, int port) {
    return !model.IsCombo(port) && port % 3 != 0;
}

void RegisterPortControl(Switch& sw) {
    const Model& model = sw.GetModel();
    Node& table = sw.GetStore().AddTable(kCtlPortEntry, "ctlPortEntry");
    table.Col(ctlport::kLink, "ctlPortLink", EnabledDisabled(), Access::ReadWrite)
        .Col(ctlport::kPartnerSpeed, "ctlPortPartnerSpeed", Syntax::Enum({10, 100, 1000}),
             Access::ReadWrite, Value::Int(1000))
        .Col(ctlport::kPartnerDuplex, "ctlPortPartnerDuplex", Syntax::Enum({1, 2}),
             Access::ReadWrite, Value::Int(2))
        .Col(ctlport::kMedia, "ctlPortMedia", Syntax::Int(1, 4), Access::ReadWrite)
        .Col(ctlport::kAdmin, "ctlPortAdmin", EnabledDisabled(), Access::ReadWrite)
        .Col(ctlport::kPoeDevice, "ctlPoeDevice", EnabledDisabled(), Access::ReadWrite)
        .Col(ctlport::kPoePowerMw, "ctlPoePowerMw", Syntax::Int(0, 30000), Access::ReadWrite)
        .Col(ctlport::kPoeVoltageMv, "ctlPoeVoltageMv", Syntax::Int(0, 60000), Access::ReadWrite)
        .Col(ctlport::kPoeCurrentMa, "ctlPoeCurrentMa", Syntax::Int(0, 1000), Access::ReadWrite)
        .Col(ctlport::kPoeClass, "ctlPoeClass", Syntax::Int(0, 4), Access::ReadWrite)
        .Col(ctlport::kPoeTimeOff, "ctlPoeTimeOff", EnabledDisabled(), Access::ReadWrite)
        .Col(ctlport::kPoeFault, "ctlPoeFault", EnabledDisabled(), Access::ReadWrite);
    // The physical side is no configuration: a reboot keeps it.
    for (const Column& c : std::vector<Column>(table.Columns()))
        table.Persist(c.id, false);

    for (int p = 1; p <= model.ports; ++p) {
        const Oid index{static_cast<SubId>(p)};
        table.AddRow(index);
        table.SetCell(index, ctlport::kLink, Value::Int(LinkedAtStart(model, p) ? 1 : 2));
        table.SetCell(index, ctlport::kMedia, Value::Int(model.IsCombo(p) ? 2 : 1));
        if (!model.IsPoe(p))
            continue;
        // Every third PoE port powers a device, so the panel has something to show.
        const bool device = p % 3 == 1;
        table.SetCell(index, ctlport::kPoeDevice, Value::Int(device ? 1 : 2));
        table.SetCell(index, ctlport::kPoePowerMw, Value::Int(device ? 3500 + 500 * (p % 5) : 0));
        table.SetCell(index, ctlport::kPoeVoltageMv, Value::Int(device ? 53500 : 0));
        table.SetCell(index, ctlport::kPoeCurrentMa, Value::Int(device ? 65 + 9 * (p % 5) : 0));
        table.SetCell(index, ctlport::kPoeClass, Value::Int(device ? 2 : 0));
        table.SetCell(index, ctlport::kPoeTimeOff, Value::Int(2));
        table.SetCell(index, ctlport::kPoeFault, Value::Int(1));
    }

    table.Check(ctlport::kMedia, [&sw](Txn&, const Oid& index, const Value& v) {
        return MediaAllowed(sw.GetModel(), static_cast<int>(index[0]), static_cast<int>(v.num))
                   ? Err::kNone
                   : Err::kWrongValue;
    });
    // The admin state is the port's configuration (1.13 speed "Disable").
    table.Live(ctlport::kAdmin, [&sw](const Oid& index) -> std::optional<Value> {
        return Value::Int(ReadPort(sw, static_cast<int>(index[0])).adminUp ? 1 : 2);
    });
    table.Check(ctlport::kAdmin, [](Txn& txn, const Oid& index, const Value& v) {
        Node& cfg = txn.GetStore().At(kPortCtlEntry);
        const auto speed = txn.GetInt(cfg, index, portctl::kSpeed);
        if (v.num == 2)
            txn.Stage(cfg, index, portctl::kSpeed, Value::Int(portctl::kDisable));
        else if (speed == portctl::kDisable)
            txn.Stage(cfg, index, portctl::kSpeed, Value::Int(portctl::kAuto));
        return Err::kNone;
    });
    for (SubId c = ctlport::kPoeDevice; c <= ctlport::kPoeFault; ++c)
        table.Check(c, [&sw](Txn&, const Oid& index, const Value&) {
            return sw.GetModel().IsPoe(static_cast<int>(index[0])) ? Err::kNone : Err::kNoCreation;
        });
}

void RegisterDeviceControl(Switch& sw) {
    Store& store = sw.GetStore();
    const Oid device = Concat(kControl, {2});
    auto scalar = [&](SubId arc, const char* name, Syntax syntax, Value initial) -> Node& {
        Node& node = store.AddScalar(Concat(device, {arc}), name, std::move(syntax),
                                     Access::ReadWrite, std::move(initial));
        node.Persist(0, false);
        return node;
    };
    scalar(1, "ctlFan", EnabledDisabled(), Value::Int(1));
    scalar(2, "ctlReachable", EnabledDisabled(), Value::Int(1))
        .Live([&sw](const Oid&) -> std::optional<Value> {
            return Value::Int(sw.GetFaults().unreachable ? 2 : 1);
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([&sw, off = v.num == 2] { sw.GetFaults().unreachable = off; });
            return Err::kNone;
        });
    scalar(3, "ctlRebootTime", Syntax::Int(0, 600000), Value::Int(0))
        .Live([&sw](const Oid&) -> std::optional<Value> {
            return Value::Int(sw.GetOptions().rebootMs);
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit(
                [&sw, ms = v.num] { sw.MutableOptions().rebootMs = static_cast<int>(ms); });
            return Err::kNone;
        });
}

void RegisterCounters(Switch& sw) {
    Store& store = sw.GetStore();
    const Oid counters = Concat(kControl, {3});
    using Pick = std::uint32_t Counters::*;
    const std::pair<const char*, Pick> kinds[] = {{"ctlGetRequests", &Counters::get},
                                                  {"ctlGetNextRequests", &Counters::getNext},
                                                  {"ctlGetBulkRequests", &Counters::getBulk},
                                                  {"ctlSetRequests", &Counters::set}};
    SubId arc = 1;
    for (const auto& [name, member] : kinds)
        store
            .AddScalar(Concat(counters, {arc++}), name, Syntax::Counter(), Access::ReadOnly,
                       Value::Counter(0))
            .Live([&sw, member = member](const Oid&) -> std::optional<Value> {
                return Value::Counter(sw.GetCounters().*member);
            });
    store
        .AddScalar(Concat(counters, {5}), "ctlAllRequests", Syntax::Counter(), Access::ReadOnly,
                   Value::Counter(0))
        .Live([&sw](const Oid&) -> std::optional<Value> {
            const Counters& c = sw.GetCounters();
            return Value::Counter(std::int64_t{c.get} + c.getNext + c.getBulk + c.set);
        });
    // Write 1 to start counting again.
    store
        .AddScalar(Concat(counters, {6}), "ctlResetCounters", Syntax::Enum({1, 2}),
                   Access::ReadWrite, Value::Int(2))
        .Persist(0, false)
        .Live([](const Oid&) -> std::optional<Value> { return Value::Int(2); })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            if (v.num == 1)
                txn.OnCommit([&sw] { sw.GetCounters() = Counters{}; });
            return Err::kNone;
        });
}

void RegisterFaults(Switch& sw) {
    Store& store = sw.GetStore();
    const Oid faults = Concat(kControl, {4});
    store
        .AddScalar(Concat(faults, {1}), "ctlDropPercent", Syntax::Int(0, 100), Access::ReadWrite,
                   Value::Int(0))
        .Persist(0, false)
        .Live([&sw](const Oid&) -> std::optional<Value> {
            return Value::Int(sw.GetFaults().dropPercent);
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([&sw, share = static_cast<int>(v.num)] {
                sw.GetFaults().dropPercent = share;
                sw.GetFaults().dropBalance = 0;
            });
            return Err::kNone;
        });
    store
        .AddScalar(Concat(faults, {2}), "ctlDelayMs", Syntax::Int(0, 60000), Access::ReadWrite,
                   Value::Int(0))
        .Persist(0, false)
        .Live([&sw](const Oid&) -> std::optional<Value> {
            return Value::Int(sw.GetFaults().delayMs);
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([&sw, ms = static_cast<int>(v.num)] { sw.GetFaults().delayMs = ms; });
            return Err::kNone;
        });
    // Write N: no answers for N ms from now; reads the time left.
    store
        .AddScalar(Concat(faults, {3}), "ctlSilentMs", Syntax::Int(0, 600000), Access::ReadWrite,
                   Value::Int(0))
        .Persist(0, false)
        .Live([&sw](const Oid&) -> std::optional<Value> {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                sw.GetFaults().silentUntil - Clock::now());
            return Value::Int(std::max<std::int64_t>(0, left.count()));
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([&sw, ms = v.num] {
                sw.GetFaults().silentUntil = Clock::now() + std::chrono::milliseconds(ms);
            });
            return Err::kNone;
        });
    // Write N: N more requests are answered, then the switch stops (in the
    // middle of a walk); -1 cancels a pending stop. Reads the answers left.
    store
        .AddScalar(Concat(faults, {4}), "ctlStopAfter", Syntax::Int(-1, 1000000),
                   Access::ReadWrite, Value::Int(-1))
        .Persist(0, false)
        .Live([&sw](const Oid&) -> std::optional<Value> {
            return Value::Int(sw.GetFaults().answersLeft);
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([&sw, n = static_cast<int>(v.num)] { sw.GetFaults().answersLeft = n; });
            return Err::kNone;
        });
    // How long a stop lasts, ms; 0 until resumed.
    store
        .AddScalar(Concat(faults, {5}), "ctlStopForMs", Syntax::Int(0, 600000), Access::ReadWrite,
                   Value::Int(0))
        .Persist(0, false)
        .Live([&sw](const Oid&) -> std::optional<Value> {
            return Value::Int(sw.GetFaults().stopForMs);
        })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([&sw, ms = static_cast<int>(v.num)] { sw.GetFaults().stopForMs = ms; });
            return Err::kNone;
        });
    // Write 1: every fault ends (as SIGUSR1 does).
    store
        .AddScalar(Concat(faults, {6}), "ctlEndFaults", Syntax::Enum({1, 2}), Access::ReadWrite,
                   Value::Int(2))
        .Persist(0, false)
        .Live([](const Oid&) -> std::optional<Value> { return Value::Int(2); })
        .Check([&sw](Txn& txn, const Oid&, const Value& v) {
            if (v.num == 1)
                txn.OnCommit([&sw] { sw.EndFaults(); });
            return Err::kNone;
        });
}

// Tables for the engine's tests: one with a missing cell, one without rows.
void RegisterTestTables(Switch& sw) {
    Store& store = sw.GetStore();
    Node& sparse = store.AddTable(Concat(kControl, {5, 1}), "ctlSparseEntry");
    sparse.Col(1, "ctlSparseNumber", Syntax::Int(), Access::ReadOnly)
        .Col(2, "ctlSparseText", Syntax::Str(), Access::ReadOnly)
        .Col(3, "ctlSparseOther", Syntax::Int(), Access::ReadOnly);
    for (SubId row = 1; row <= 3; ++row) {
        sparse.SetCell({row}, 1, Value::Int(row * 10));
        if (row != 2)
            sparse.SetCell({row}, 2, Value::Str("row" + std::to_string(row)));
        sparse.SetCell({row}, 3, Value::Int(row * 100));
    }
    store.AddTable(Concat(kControl, {6, 1}), "ctlEmptyEntry")
        .Col(1, "ctlEmptyNumber", Syntax::Int(), Access::ReadOnly)
        .Col(2, "ctlEmptyText", Syntax::Str(), Access::ReadOnly);
}

} // namespace

void RegisterControl(Switch& sw) {
    RegisterPortControl(sw);
    RegisterDeviceControl(sw);
    RegisterCounters(sw);
    RegisterFaults(sw);
    RegisterTestTables(sw);
}

} // namespace nswsim
