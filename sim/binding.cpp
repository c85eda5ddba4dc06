// Smart binding 14.10: per-port settings, the auto scan and the hosts it
// found, the white list of bound hosts and the black list of blocked ones.
#include "Features.h"
#include "Index.h"
#include "PortState.h"
#include "Vlan.h"

namespace nswsim {
namespace {

const Oid kBinding = Concat(kSwitchMib, {14, 10});
const Oid kScanFrom = Concat(kBinding, {5});
const Oid kScanTo = Concat(kBinding, {6});
// A scan covers at most a /24 worth of addresses.
constexpr std::uint32_t kMaxScanAddresses = 256;
constexpr std::int64_t kBound = 1;
constexpr std::int64_t kNotBound = 2;
constexpr std::int64_t kScanStart = 1;
constexpr std::int64_t kScanIdle = 2;

// Six index arcs from 'from' that make a host MAC: octets, not all zero,
// neither broadcast nor multicast.
bool IsHostMac(const Oid& index, std::size_t from) {
    if (index.size() != from + 6)
        return false;
    bool zero = true;
    for (std::size_t i = from; i < index.size(); ++i) {
        if (index[i] > 255)
            return false;
        zero = zero && index[i] == 0;
    }
    return !zero && (index[from] & 1) == 0;
}

LiveFn MacColumn(std::size_t from) {
    return [from](const Oid& index) -> std::optional<Value> {
        return Value::Str(
            std::string(index.begin() + static_cast<std::ptrdiff_t>(from), index.end()));
    };
}

// Hosts a scan finds: every address of the range but each third one, each on
// the port its address picks, in that port's VLAN.
void Scan(Switch& sw, Node& results) {
    Store& store = sw.GetStore();
    const Node& pvids = store.At(kPvidEntry);
    const auto from = store.At(kScanFrom).ScalarValue()->IpHostOrder();
    const auto to = store.At(kScanTo).ScalarValue()->IpHostOrder();
    const auto ports = static_cast<std::uint32_t>(sw.GetModel().ports);
    results.ClearRows();
    for (std::uint64_t ip = from; ip <= to; ++ip) {
        if (ip % 3 == 0)
            continue;
        const auto port = static_cast<SubId>(ip % ports + 1);
        const Oid mac{0x00,
                      0x1c,
                      0x7e,
                      static_cast<SubId>((ip >> 16) & 0xff),
                      static_cast<SubId>((ip >> 8) & 0xff),
                      static_cast<SubId>(ip & 0xff)};
        const Oid index = Concat(Concat(IpIndex(static_cast<std::uint32_t>(ip)), mac), {port});
        results.SetCell(index, 2, Value::Int(pvids.ReadInt({port}, 1, 1)));
        results.SetCell(index, 3, Value::Int(port));
    }
}

} // namespace

void RegisterBinding(Switch& sw) {
    Store& store = sw.GetStore();
    const int ports = sw.GetModel().ports;

    // Per port: 1 enabled, 2 disabled; inspection 1 ARP, 2 ARP and IP.
    // Binding on every port would lock the manager out: the last port is refused.
    Node& settings = AddPortTable(sw, Concat(kBinding, {1, 1}), "smartBindingPort");
    settings.Col(2, "smartBindingAdmin", EnabledDisabled(), Access::ReadWrite, Value::Int(2))
        .Col(3, "smartBindingInspection", Syntax::Enum({1, 2}), Access::ReadWrite, Value::Int(1))
        .Col(4, "smartBindingDhcpSnooping", EnabledDisabled(), Access::ReadWrite, Value::Int(2));
    settings.Check(2, [&settings, ports](Txn& txn, const Oid&, const Value& v) {
        if (v.num != 1)
            return Err::kNone;
        for (int p = 1; p <= ports; ++p)
            if (txn.GetInt(settings, {static_cast<SubId>(p)}, 2) != 1)
                return Err::kNone;
        return Err::kInconsistentValue;
    });

    // White list: index IP address and MAC address.
    Node& white = store.AddTable(Concat(kBinding, {3, 1}), "smartBindingWhiteEntry");
    white.Col(1, "whiteListIp", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "whiteListMac", Syntax::Str(6, 6), Access::ReadOnly)
        .Col(3, "whiteListPort", Syntax::Int(1, ports), Access::ReadCreate)
        .RowStatusCol(4, "whiteListRowStatus")
        .Live(1, IndexIpColumn())
        .Live(2, MacColumn(4))
        .Index([ip = IpAddressIndex()](const Oid& index) {
            return index.size() == 10 && ip(Oid(index.begin(), index.begin() + 4)) &&
                   IsHostMac(index, 4);
        })
        .MaxRows(512);

    // Scan results: index IP, MAC, port. A host is bound while the white list
    // holds it; writing 1 puts it there with its port, 2 takes it off.
    Node& results = store.AddTable(Concat(kBinding, {2, 1}), "smartBindingScanEntry");
    results.Col(1, "scanIp", Syntax::Ip(), Access::ReadOnly)
        .Col(2, "scanVid", Syntax::Int(1, 4094), Access::ReadOnly)
        .Col(3, "scanPort", Syntax::Int(), Access::ReadOnly)
        .Col(4, "scanMac", Syntax::Str(6, 6), Access::ReadOnly)
        .Col(5, "scanBinding", Syntax::Enum({kBound, kNotBound}), Access::ReadWrite)
        .Live(1, IndexIpColumn())
        .Live(4,
              [](const Oid& index) -> std::optional<Value> {
                  return Value::Str(std::string(index.begin() + 4, index.begin() + 10));
              })
        .Live(5, [&white](const Oid& index) -> std::optional<Value> {
            const Oid host(index.begin(), index.begin() + 10);
            return Value::Int(white.ReadInt(host, 4) == RowStatus::kActive ? kBound : kNotBound);
        });
    results.Check(5, [&white](Txn& txn, const Oid& index, const Value& v) {
        const Oid host(index.begin(), index.begin() + 10);
        if (v.num == kBound && !txn.RowExists(white, host)) {
            txn.Stage(white, host, 3, Value::Int(index[10]));
            txn.Stage(white, host, 4, Value::Int(RowStatus::kActive));
        } else if (v.num == kNotBound && txn.RowExists(white, host)) {
            txn.OnCommit([&white, host] { white.RemoveRow(host); });
        }
        return Err::kNone;
    });

    // Black list: index VID, IP address, MAC address.
    Node& black = store.AddTable(Concat(kBinding, {4, 1}), "smartBindingBlackEntry");
    black.Col(1, "blackListVid", Syntax::Int(1, 4094), Access::ReadOnly)
        .Col(2, "blackListIp", Syntax::Ip(), Access::ReadOnly)
        .Col(3, "blackListMac", Syntax::Str(6, 6), Access::ReadOnly)
        .Col(4, "blackListPort", Syntax::Int(1, ports), Access::ReadCreate, Value::Int(1))
        .RowStatusCol(5, "blackListRowStatus")
        .Live(1, IndexIntColumn())
        .Live(2, IndexIpColumn(1))
        .Live(3, MacColumn(5))
        .Index([ip = IpAddressIndex()](const Oid& index) {
            return index.size() == 11 && index[0] >= 1 && index[0] <= 4094 &&
                   ip(Oid(index.begin() + 1, index.begin() + 5)) && IsHostMac(index, 5);
        })
        .MaxRows(512);
    // Two hosts the switch has blocked.
    for (SubId host : {21u, 37u}) {
        const Oid index{1, 192, 168, 1, host, 0x00, 0x1c, 0x7e, 0x66, 0x00, host};
        black.SetCell(index, 4, Value::Int(static_cast<std::int64_t>(host) % ports + 1));
        black.SetCell(index, 5, Value::Int(RowStatus::kActive));
    }

    // Auto scan: the range, then 1 to scan it (at rest the object reads 2).
    store.AddScalar(kScanFrom, "smartBindingScanFrom", Syntax::Ip(), Access::ReadWrite,
                    Value::Ip(0));
    store.AddScalar(kScanTo, "smartBindingScanTo", Syntax::Ip(), Access::ReadWrite, Value::Ip(0));
    store
        .AddScalar(Concat(kBinding, {7}), "smartBindingScan", Syntax::Enum({kScanStart, kScanIdle}),
                   Access::ReadWrite, Value::Int(kScanIdle))
        .Persist(0, false)
        .Live([](const Oid&) -> std::optional<Value> { return Value::Int(kScanIdle); })
        .Check([&sw, &results](Txn& txn, const Oid&, const Value& v) {
            if (v.num != kScanStart)
                return Err::kNone;
            Store& s = txn.GetStore();
            const auto from = txn.Get(s.At(kScanFrom), {0}, 0)->IpHostOrder();
            const auto to = txn.Get(s.At(kScanTo), {0}, 0)->IpHostOrder();
            if (from == 0 || to < from || to - from >= kMaxScanAddresses)
                return Err::kInconsistentValue;
            txn.OnCommit([&sw, &results] { Scan(sw, results); });
            return Err::kNone;
        });
}

} // namespace nswsim
