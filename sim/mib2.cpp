// MIB-II: the system group, ifTable (one row per front-panel port),
// ipAddrTable, tcpConnTable and udpTable.
#include "Features.h"
#include "PortState.h"

namespace nswsim {
namespace {

void RegisterSystem(Switch& sw) {
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    const Oid system = Concat(kMib2, {1});
    store.AddScalar(Concat(system, {1}), "sysDescr", Syntax::Str(), Access::ReadOnly,
                    Value::Str(model.name + " " + std::to_string(model.ports) +
                               "-port managed Ethernet switch, firmware 1.00.017"));
    store.AddScalar(Concat(system, {2}), "sysObjectID", Syntax::ObjId(), Access::ReadOnly,
                    Value::ObjId(Concat(kSwitchMib, {100, static_cast<SubId>(model.objectIdArc)})));
    store
        .AddScalar(Concat(system, {3}), "sysUpTime", Syntax::Ticks(), Access::ReadOnly,
                   Value::Ticks(0))
        .Live([&sw](const Oid&) -> std::optional<Value> { return Value::Ticks(sw.UptimeTicks()); });
    store.AddScalar(Concat(system, {4}), "sysContact", Syntax::Str(0, 255), Access::ReadWrite,
                    Value::Str(""));
    store.AddScalar(Concat(system, {5}), "sysName", Syntax::Str(0, 255), Access::ReadWrite,
                    Value::Str("Switch"));
    store.AddScalar(Concat(system, {6}), "sysLocation", Syntax::Str(0, 255), Access::ReadWrite,
                    Value::Str(""));
    store.AddScalar(Concat(system, {7}), "sysServices", Syntax::Int(0, 127), Access::ReadOnly,
                    Value::Int(2));
}

void RegisterInterfaces(Switch& sw) {
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    store.AddScalar(Concat(kMib2, {2, 1}), "ifNumber", Syntax::Int(), Access::ReadOnly,
                    Value::Int(model.ports));
    Node& table = store.AddTable(Concat(kMib2, {2, 2, 1}), "ifEntry");
    table.Col(1, "ifIndex", Syntax::Int(1, 2147483647), Access::ReadOnly)
        .Col(2, "ifDescr", Syntax::Str(), Access::ReadOnly)
        .Col(3, "ifType", Syntax::Int(), Access::ReadOnly, Value::Int(6))
        .Col(4, "ifMtu", Syntax::Int(), Access::ReadOnly)
        .Col(5, "ifSpeed", Syntax::Gauge(), Access::ReadOnly)
        .Col(6, "ifPhysAddress", Syntax::Str(), Access::ReadOnly)
        .Col(7, "ifAdminStatus", Syntax::Enum({1, 2, 3}), Access::ReadWrite)
        .Col(8, "ifOperStatus", Syntax::Int(1, 7), Access::ReadOnly)
        .Col(9, "ifLastChange", Syntax::Ticks(), Access::ReadOnly, Value::Ticks(0));
    const char* counters[] = {"ifInOctets",    "ifInUcastPkts",  "ifInNUcastPkts",
                              "ifInDiscards",  "ifInErrors",     "ifInUnknownProtos",
                              "ifOutOctets",   "ifOutUcastPkts", "ifOutNUcastPkts",
                              "ifOutDiscards", "ifOutErrors"};
    SubId column = 10;
    for (const char* name : counters)
        table.Col(column++, name, Syntax::Counter(), Access::ReadOnly, Value::Counter(0));
    table.Col(21, "ifOutQLen", Syntax::Gauge(), Access::ReadOnly, Value::Gauge(0))
        .Col(22, "ifSpecific", Syntax::ObjId(), Access::ReadOnly, Value::ObjId({0, 0}));
    for (int p = 1; p <= model.ports; ++p) {
        const Oid index{static_cast<SubId>(p)};
        table.SetCell(index, 1, Value::Int(p));
        table.SetCell(index, 2, Value::Str("Port " + std::to_string(p)));
        table.SetCell(index, 6, Value::Str(sw.Mac(p)));
    }
    table.Live(4, [&sw](const Oid&) -> std::optional<Value> {
        return Value::Int(JumboEnabled(sw) ? 10000 : 1518);
    });
    table.Live(5, [&sw](const Oid& index) -> std::optional<Value> {
        PortView port = ReadPort(sw, static_cast<int>(index[0]));
        return Value::Gauge(std::int64_t{port.linkUp ? port.speedMbps : port.maxMbps} * 1000000);
    });
    table.Live(7, [&sw](const Oid& index) -> std::optional<Value> {
        return Value::Int(ReadPort(sw, static_cast<int>(index[0])).adminUp ? 1 : 2);
    });
    // The admin state is the port's configuration: down is speed "Disable".
    table.Check(7, [](Txn& txn, const Oid& index, const Value& v) {
        if (v.num == 3)
            return Err::kWrongValue; // testing is not offered
        Node& cfg = txn.GetStore().At(kPortCtlEntry);
        if (v.num == 2)
            txn.Stage(cfg, index, portctl::kSpeed, Value::Int(portctl::kDisable));
        else if (txn.GetInt(cfg, index, portctl::kSpeed) == portctl::kDisable)
            txn.Stage(cfg, index, portctl::kSpeed, Value::Int(portctl::kAuto));
        return Err::kNone;
    });
    table.Live(8, [&sw](const Oid& index) -> std::optional<Value> {
        return Value::Int(ReadPort(sw, static_cast<int>(index[0])).linkUp ? 1 : 2);
    });
    // The counters move with the ports' traffic: portcounters.cpp.
}

void RegisterIp(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(Concat(kMib2, {4, 1}), "ipForwarding", Syntax::Enum({1, 2}), Access::ReadOnly,
                    Value::Int(2));
    store.AddScalar(Concat(kMib2, {4, 2}), "ipDefaultTTL", Syntax::Int(1, 255), Access::ReadOnly,
                    Value::Int(64));
    Node& table = store.AddTable(Concat(kMib2, {4, 20, 1}), "ipAddrEntry");
    table.Col(1, "ipAdEntAddr", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "ipAdEntIfIndex", Syntax::Int(), Access::ReadOnly)
        .Col(3, "ipAdEntNetMask", Syntax::Ip(), Access::ReadOnly)
        .Col(4, "ipAdEntBcastAddr", Syntax::Int(0, 1), Access::ReadOnly)
        .Col(5, "ipAdEntReasmMaxSize", Syntax::Int(0, 65535), Access::ReadOnly);
    const Oid index = IpIndex(sw.ListenIp());
    table.SetCell(index, 1, Value::Ip(sw.ListenIp()));
    table.SetCell(index, 2, Value::Int(1));
    table.SetCell(index, 3, Value::Ip(0xffffff00));
    table.SetCell(index, 4, Value::Int(1));
    table.SetCell(index, 5, Value::Int(65535));
}

void RegisterTcpUdp(Switch& sw) {
    Store& store = sw.GetStore();
    Node& tcp = store.AddTable(Concat(kMib2, {6, 13, 1}), "tcpConnEntry");
    tcp.Col(1, "tcpConnState", Syntax::Int(1, 12), Access::ReadOnly)
        .Col(2, "tcpConnLocalAddress", Syntax::Ip(), Access::ReadOnly)
        .Col(3, "tcpConnLocalPort", Syntax::Int(0, 65535), Access::ReadOnly)
        .Col(4, "tcpConnRemAddress", Syntax::Ip(), Access::ReadOnly)
        .Col(5, "tcpConnRemPort", Syntax::Int(0, 65535), Access::ReadOnly);
    struct Conn {
        int state;
        std::uint32_t local;
        int localPort;
        std::uint32_t remote;
        int remotePort;
    };
    const std::uint32_t self = sw.ListenIp();
    const Conn conns[] = {{2, 0, 23, 0, 0},
                          {2, 0, 80, 0, 0},
                          {2, 0, 443, 0, 0},
                          {5, self, 23, 0x7f000001, 50418},
                          {11, self, 80, 0x7f000001, 50522}};
    for (const Conn& c : conns) {
        Oid index = Concat(IpIndex(c.local), {static_cast<SubId>(c.localPort)});
        index = Concat(Concat(index, IpIndex(c.remote)), {static_cast<SubId>(c.remotePort)});
        tcp.SetCell(index, 1, Value::Int(c.state));
        tcp.SetCell(index, 2, Value::Ip(c.local));
        tcp.SetCell(index, 3, Value::Int(c.localPort));
        tcp.SetCell(index, 4, Value::Ip(c.remote));
        tcp.SetCell(index, 5, Value::Int(c.remotePort));
    }

    Node& udp = store.AddTable(Concat(kMib2, {7, 5, 1}), "udpEntry");
    udp.Col(1, "udpLocalAddress", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "udpLocalPort", Syntax::Int(0, 65535), Access::ReadOnly);
    for (int port : {67, 69, 161, 514}) {
        Oid index = Concat(IpIndex(0), {static_cast<SubId>(port)});
        udp.SetCell(index, 1, Value::Ip(0));
        udp.SetCell(index, 2, Value::Int(port));
    }
}

} // namespace

void RegisterMib2(Switch& sw) {
    RegisterSystem(sw);
    RegisterInterfaces(sw);
    RegisterIp(sw);
    RegisterTcpUdp(sw);
}

} // namespace nswsim
