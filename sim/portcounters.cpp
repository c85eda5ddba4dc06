// Port traffic counters: the octets, packets, errors and discards of ifTable
// and the 64-bit counters of ifXTable. They move with the traffic that the
// control subtree sets per port (control 8), computed from the clock when
// read: no timer. A port without link carries nothing; a reboot starts every
// counter again from 0.
#include "Features.h"
#include "PortState.h"

#include <array>

namespace nswsim {
namespace {

const Oid kIfEntry = Concat(kMib2, {2, 2, 1});
const Oid kIfXEntry = Concat(kMib2, {31, 1, 1, 1});
const Oid kCtlTrafficEntry = Concat(kControl, {8, 1, 1});
const Oid kCtlIfXTable = Concat(kControl, {8, 2});

enum Flow { kRxOctets, kTxOctets, kInErrors, kOutErrors, kInDiscards, kOutDiscards, kFlows };

// Octets per frame behind the packet counters.
constexpr std::uint64_t kUcastFrame = 168;
constexpr std::uint64_t kNUcastFrame = 4000;
constexpr std::int64_t kMaxRate = 2147483647; // INTEGER on the wire

// What the ports carry until a test sets otherwise: enough for viewers to see movement.
std::int64_t DefaultRate(int port, Flow flow) {
    if (flow == kRxOctets)
        return 52000LL * (port % 7 + 1);
    if (flow == kTxOctets)
        return 61000LL * (port % 7 + 1);
    return 0;
}

class PortCounters {
public:
    explicit PortCounters(Switch& sw) : m_sw(sw), m_boot(BootNow()) {
        const int ports = sw.GetModel().ports;
        m_ports.resize(static_cast<std::size_t>(ports) + 1);
        for (int p = 1; p <= ports; ++p) {
            Port& port = m_ports[static_cast<std::size_t>(p)];
            port.since = m_boot;
            for (int f = 0; f < kFlows; ++f)
                port.rate[f] = DefaultRate(p, static_cast<Flow>(f));
        }
    }

    bool Valid(int port) const { return port >= 1 && port < static_cast<int>(m_ports.size()); }

    // Counts since the switch came up (plus a written start), modulo 2^64.
    std::uint64_t Read(int port, Flow flow) {
        FollowBoot();
        const Port& p = m_ports[static_cast<std::size_t>(port)];
        const Nano total = p.nano[flow] + Nano(p.flowing[flow]) * Elapsed(p.since, Clock::now());
        return static_cast<std::uint64_t>(total / kNanoPerUnit);
    }

    std::int64_t Rate(int port, Flow flow) const {
        return m_ports[static_cast<std::size_t>(port)].rate[flow];
    }
    void SetRate(int port, Flow flow, std::int64_t perSecond) {
        Settle(port);
        m_ports[static_cast<std::size_t>(port)].rate[flow] = perSecond;
        Settle(port);
    }
    // Both octet counters of the port read value from now on (tests of a wrap).
    void SetOctets(int port, std::uint32_t value) {
        Settle(port);
        Port& p = m_ports[static_cast<std::size_t>(port)];
        p.nano[kRxOctets] = p.nano[kTxOctets] = Nano(value) * kNanoPerUnit;
    }

    // The link or the configuration may have changed: what flowed so far is
    // counted at the old rates, from now on at the new ones.
    void SettleAll() {
        for (int p = 1; p < static_cast<int>(m_ports.size()); ++p)
            Settle(p);
    }

    bool hidden = false; // ifXTable not served

private:
    using Nano = unsigned __int128; // billionths of a unit: rates times nanoseconds stay exact
    static constexpr Nano kNanoPerUnit = 1000000000;

    struct Port {
        std::array<std::int64_t, kFlows> rate{};    // set by the control subtree
        std::array<std::int64_t, kFlows> flowing{}; // the rate while linked, else 0
        std::array<Nano, kFlows> nano{};            // counted up to 'since'
        Clock::time_point since;
    };

    static Nano Elapsed(Clock::time_point from, Clock::time_point to) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(to - from).count();
        return ns > 0 ? Nano(ns) : 0;
    }

    // sysUpTime's origin (to its 10 ms).
    Clock::time_point BootNow() const {
        return Clock::now() - std::chrono::milliseconds(std::int64_t{m_sw.UptimeTicks()} * 10);
    }

    // A reboot ended since the last look: every counter starts again at the
    // new boot. (sysUpTime's origin moves by whole seconds then, never by
    // its 10 ms rounding.)
    void FollowBoot() {
        const Clock::time_point boot = BootNow();
        if (boot - m_boot < std::chrono::milliseconds(50))
            return;
        m_boot = boot;
        for (Port& p : m_ports) {
            p.nano.fill(0);
            p.since = boot;
        }
    }

    void Settle(int port) {
        FollowBoot();
        Port& p = m_ports[static_cast<std::size_t>(port)];
        const Clock::time_point now = Clock::now();
        const Nano elapsed = Elapsed(p.since, now);
        const bool linked = ReadPort(m_sw, port).linkUp;
        for (int f = 0; f < kFlows; ++f) {
            p.nano[f] += Nano(p.flowing[f]) * elapsed;
            p.flowing[f] = linked ? p.rate[f] : 0;
        }
        p.since = now;
    }

    Switch& m_sw;
    Clock::time_point m_boot;
    std::vector<Port> m_ports; // by port number; 0 unused
};

int PortOf(const Oid& index) {
    return index.empty() ? 0 : static_cast<int>(index[0]);
}

void RegisterTrafficControl(Switch& sw, const std::shared_ptr<PortCounters>& counters) {
    Store& store = sw.GetStore();
    Node& table = store.AddTable(kCtlTrafficEntry, "ctlTrafficEntry");
    const std::pair<Flow, const char*> rates[] = {
        {kRxOctets, "ctlTrafficRxBytes"},      {kTxOctets, "ctlTrafficTxBytes"},
        {kInErrors, "ctlTrafficInErrors"},     {kOutErrors, "ctlTrafficOutErrors"},
        {kInDiscards, "ctlTrafficInDiscards"}, {kOutDiscards, "ctlTrafficOutDiscards"}};
    SubId column = 1;
    for (const auto& [flow, name] : rates) {
        table.Col(column, name, Syntax::Int(0, kMaxRate), Access::ReadWrite, Value::Int(0));
        table.Live(column, [counters, flow = flow](const Oid& index) -> std::optional<Value> {
            return Value::Int(counters->Rate(PortOf(index), flow));
        });
        table.Check(column, [counters, flow = flow](Txn& txn, const Oid& index, const Value& v) {
            txn.OnCommit([counters, flow, port = PortOf(index), rate = v.num] {
                counters->SetRate(port, flow, rate);
            });
            return Err::kNone;
        });
        ++column;
    }
    // Write: both octet counters of the port go on from this value.
    table.Col(7, "ctlTrafficOctets", Syntax::Gauge(), Access::ReadWrite, Value::Gauge(0))
        .Live(7,
              [counters](const Oid& index) -> std::optional<Value> {
                  return Value::Gauge(counters->Read(PortOf(index), kRxOctets) & 0xffffffffU);
              })
        .Check(7, [counters](Txn& txn, const Oid& index, const Value& v) {
            txn.OnCommit([counters, port = PortOf(index), value = v.num] {
                counters->SetOctets(port, static_cast<std::uint32_t>(value));
            });
            return Err::kNone;
        });
    for (const Column& c : std::vector<Column>(table.Columns()))
        table.Persist(c.id, false);
    for (int p = 1; p <= sw.GetModel().ports; ++p)
        table.AddRow({static_cast<SubId>(p)});

    store
        .AddScalar(kCtlIfXTable, "ctlIfXTable", EnabledDisabled(), Access::ReadWrite, Value::Int(1))
        .Persist(0, false)
        .Live([counters](const Oid&) -> std::optional<Value> {
            return Value::Int(counters->hidden ? 2 : 1);
        })
        .Check([counters](Txn& txn, const Oid&, const Value& v) {
            txn.OnCommit([counters, hide = v.num == 2] { counters->hidden = hide; });
            return Err::kNone;
        });
}

void RegisterIfTableCounters(Switch& sw, const std::shared_ptr<PortCounters>& counters) {
    Node& table = sw.GetStore().At(kIfEntry);
    // Column, flow, octets per frame (0: the flow itself).
    struct Source {
        SubId column;
        Flow flow;
        std::uint64_t frame;
    };
    const Source sources[] = {{10, kRxOctets, 0},
                              {11, kRxOctets, kUcastFrame},
                              {12, kRxOctets, kNUcastFrame},
                              {13, kInDiscards, 0},
                              {14, kInErrors, 0},
                              {16, kTxOctets, 0},
                              {17, kTxOctets, kUcastFrame},
                              {18, kTxOctets, kNUcastFrame},
                              {19, kOutDiscards, 0},
                              {20, kOutErrors, 0}};
    for (const Source& s : sources)
        table.Live(s.column, [counters, s](const Oid& index) -> std::optional<Value> {
            const int port = PortOf(index);
            if (!counters->Valid(port))
                return std::nullopt;
            const std::uint64_t count = counters->Read(port, s.flow);
            // Counter32: the low 32 bits, so it wraps where the 64-bit one goes on.
            return Value::Counter(
                static_cast<std::int64_t>((s.frame ? count / s.frame : count) & 0xffffffffU));
        });
}

void RegisterIfXTable(Switch& sw, const std::shared_ptr<PortCounters>& counters) {
    Node& table = sw.GetStore().AddTable(kIfXEntry, "ifXEntry");
    table.Col(1, "ifName", Syntax::Str(), Access::ReadOnly)
        .Col(6, "ifHCInOctets", Syntax::Counter64(), Access::ReadOnly)
        .Col(7, "ifHCInUcastPkts", Syntax::Counter64(), Access::ReadOnly)
        .Col(10, "ifHCOutOctets", Syntax::Counter64(), Access::ReadOnly)
        .Col(11, "ifHCOutUcastPkts", Syntax::Counter64(), Access::ReadOnly)
        .Col(15, "ifHighSpeed", Syntax::Gauge(), Access::ReadOnly)
        .Col(19, "ifCounterDiscontinuityTime", Syntax::Ticks(), Access::ReadOnly);
    for (int p = 1; p <= sw.GetModel().ports; ++p)
        table.AddRow({static_cast<SubId>(p)});
    // Every column is computed, so that hiding the table hides all of it.
    const auto served = [counters](const Oid& index) {
        return !counters->hidden && counters->Valid(PortOf(index));
    };
    table.Live(1, [served](const Oid& index) -> std::optional<Value> {
        if (!served(index))
            return std::nullopt;
        return Value::Str("Port " + std::to_string(PortOf(index)));
    });
    const std::tuple<SubId, Flow, std::uint64_t> sources[] = {{6, kRxOctets, 1},
                                                              {7, kRxOctets, kUcastFrame},
                                                              {10, kTxOctets, 1},
                                                              {11, kTxOctets, kUcastFrame}};
    for (const auto& [column, flow, frame] : sources)
        table.Live(column,
                   [counters, served, flow = flow,
                    frame = frame](const Oid& index) -> std::optional<Value> {
                       if (!served(index))
                           return std::nullopt;
                       return Value::Counter64(counters->Read(PortOf(index), flow) / frame);
                   });
    table.Live(15, [&sw, served](const Oid& index) -> std::optional<Value> {
        if (!served(index))
            return std::nullopt;
        const PortView port = ReadPort(sw, PortOf(index));
        return Value::Gauge(port.linkUp ? port.speedMbps : port.maxMbps);
    });
    // The counters start at each boot, which sysUpTime tells: no discontinuity after it.
    table.Live(19, [served](const Oid& index) -> std::optional<Value> {
        if (!served(index))
            return std::nullopt;
        return Value::Ticks(0);
    });
}

} // namespace

void RegisterPortCounters(Switch& sw) {
    auto counters = std::make_shared<PortCounters>(sw);
    RegisterTrafficControl(sw, counters);
    RegisterIfTableCounters(sw, counters);
    RegisterIfXTable(sw, counters);
    // Links come and go with SETs (control subtree, port configuration) and
    // restores (a reboot).
    sw.GetStore().OnChanged([counters] { counters->SettleAll(); });
}

} // namespace nswsim
