// System settings whose objects are the switch's own: time profiles (the time
// ranges 23.1.1 and their names 32.1.1, also on models without PoE), power
// saving 40, the management VLAN 41, and the auto surveillance VLAN's
// priority and aging 26.1.3/.4 and OUI table 26.2.
#include "Features.h"
#include "Index.h"
#include "PortState.h"
#include "Vlan.h"

#include "device/ModelVariants.h"

#include <QString>

namespace nswsim {
namespace {

const Oid kTimeRangeEntry = Concat(kSwitchMib, {23, 1, 1});
const Oid kTimeRangeNameEntry = Concat(kSwitchMib, {32, 1, 1});
const Oid kPowerSaving = Concat(kSwitchMib, {40});
const Oid kPowerSavingPortEntry = Concat(kSwitchMib, {40, 5, 1});
const Oid kMgmtVlanState = Concat(kSwitchMib, {41, 1});
const Oid kMgmtVlanVid = Concat(kSwitchMib, {41, 2});
const Oid kSurveillance = Concat(kSwitchMib, {26, 1});
const Oid kOuiEntry = Concat(kSwitchMib, {26, 2, 1});

namespace tr {
enum : SubId { kIndex = 1, kName = 2, kDateOn = 3, kStartHour = 7, kEndHour = 12, kMonday = 14 };
enum : SubId { kFromYear = 4, kStartMinute = 8, kToYear = 9, kEndMinute = 13, kRowStatus = 21 };
constexpr SubId kMaxRanges = 8;
} // namespace tr

namespace ps {
enum : SubId { kShutOff = 2, kTimeRange = 3 };
}

namespace oui {
enum : SubId { kIndex = 1, kAddress = 2, kDescription = 3, kRowStatus = 4 };
constexpr SubId kMaxEntries = 16;
} // namespace oui

bool RangeActive(const Txn& txn, std::int64_t index) {
    const Node* ranges = txn.GetStore().Find(kTimeRangeEntry);
    return ranges && index >= 1 && index <= tr::kMaxRanges &&
           txn.GetInt(*ranges, {static_cast<SubId>(index)}, tr::kRowStatus) == RowStatus::kActive;
}

// Models without PoE keep time ranges too (power saving schedules them); the
// table has the same shape as the PoE models' one.
void RegisterTimeRanges(Switch& sw) {
    using namespace tr;
    Store& store = sw.GetStore();
    if (store.Find(kTimeRangeEntry))
        return;
    Node& table = store.AddTable(kTimeRangeEntry, "timeRangeEntry");
    table.Col(kIndex, "timeRangeIndex", Syntax::Int(1, kMaxRanges), Access::ReadOnly)
        .Col(kName, "timeRangeName", Syntax::Str(1, 32), Access::ReadCreate)
        .Col(kDateOn, "timeRangeDateOn", Syntax::Enum({1, 2}), Access::ReadCreate, Value::Int(2));
    const struct {
        const char* name;
        std::int64_t lo, hi, def;
    } numbers[] = {{"FromYear", 2009, 2037, 2009}, {"FromMonth", 1, 12, 1},
                   {"FromDay", 1, 31, 1},          {"StartHour", 0, 23, 0},
                   {"StartMinute", 0, 59, 0},      {"ToYear", 2009, 2037, 2037},
                   {"ToMonth", 1, 12, 12},         {"ToDay", 1, 31, 31},
                   {"EndHour", 0, 23, 23},         {"EndMinute", 0, 59, 59}};
    SubId column = 4;
    for (const auto& n : numbers)
        table.Col(column++, std::string("timeRange") + n.name, Syntax::Int(n.lo, n.hi),
                  Access::ReadCreate, Value::Int(n.def));
    const char* days[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                          "Friday", "Saturday", "Sunday"};
    for (SubId d = 0; d < 7; ++d)
        table.Col(kMonday + d, std::string("timeRange") + days[d], Syntax::Int(0, 2),
                  Access::ReadCreate, Value::Int(2));
    table.Live(kIndex, IndexIntColumn())
        .RowStatusCol(kRowStatus, "timeRangeRowStatus")
        .Index(IntIndex(1, kMaxRanges))
        .MaxRows(kMaxRanges);
    table.RowCheck([](Txn& txn, const Oid& index) {
        const Node& self = txn.GetStore().At(kTimeRangeEntry);
        if (txn.Destroying(self, index))
            return Err::kNone;
        auto in = [&](SubId c) { return txn.GetInt(self, index, c); };
        if (in(kStartHour)*60 + in(kStartMinute) > in(kEndHour)*60 + in(kEndMinute))
            return Err::kInconsistentValue;
        if (in(kDateOn) == 1 && in(kFromYear)*10000 + in(kFromYear + 1) * 100 + in(kFromYear + 2) >
                                    in(kToYear)*10000 + in(kToYear + 1) * 100 + in(kToYear + 2))
            return Err::kInconsistentValue;
        return Err::kNone;
    });

    Node& names = store.AddTable(kTimeRangeNameEntry, "timeRangeNameEntry");
    names.Col(1, "timeRangeNameIndex", Syntax::Int(), Access::ReadOnly)
        .Col(2, "timeRangeNameText", Syntax::Str(), Access::ReadOnly);
    store.OnChanged([&table, &names] {
        names.ClearRows();
        for (const auto& [index, row] : table.Rows()) {
            if (table.ReadInt(index, kRowStatus) != RowStatus::kActive)
                continue;
            names.SetCell(index, 1, Value::Int(index[0]));
            names.SetCell(index, 2, Value::Str(table.ReadStr(index, kName)));
        }
    });
}

void RegisterPowerSaving(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(Concat(kPowerSaving, {1}), "powerSavingLinkDetect", EnabledDisabled(),
                    Access::ReadWrite, Value::Int(2));
    store.AddScalar(Concat(kPowerSaving, {2}), "powerSavingLengthDetect", EnabledDisabled(),
                    Access::ReadWrite, Value::Int(2));
    store.AddScalar(Concat(kPowerSaving, {3}), "powerSavingLedShutOff", EnabledDisabled(),
                    Access::ReadWrite, Value::Int(2));
    if (!PowerSavingPerPort(QString::fromStdString(sw.GetModel().name)))
        return;
    // Port shut-off: the port sleeps while its time range is in force; it
    // needs an active range to follow.
    Node& ports = AddPortTable(sw, kPowerSavingPortEntry, "powerSavingPort");
    ports
        .Col(ps::kShutOff, "powerSavingPortShutOff", EnabledDisabled(), Access::ReadWrite,
             Value::Int(2))
        .Col(ps::kTimeRange, "powerSavingPortTimeRange", Syntax::Int(0, tr::kMaxRanges),
             Access::ReadWrite, Value::Int(0));
    ports.Check(ps::kTimeRange, [](Txn& txn, const Oid&, const Value& v) {
        return v.num == 0 || RangeActive(txn, v.num) ? Err::kNone : Err::kInconsistentValue;
    });
    ports.Check(ps::kShutOff, [](Txn& txn, const Oid& index, const Value& v) {
        const Node& self = txn.GetStore().At(kPowerSavingPortEntry);
        return v.num == 2 || txn.GetInt(self, index, ps::kTimeRange) != 0 ? Err::kNone
                                                                          : Err::kInconsistentValue;
    });
    // A range that ports follow stays.
    Node& ranges = store.At(kTimeRangeEntry);
    RowCheckFn before = ranges.RowChecker();
    const int portCount = sw.GetModel().ports;
    ranges.RowCheck([before, portCount](Txn& txn, const Oid& index) {
        if (before)
            if (const int error = before(txn, index))
                return error;
        const Node& self = txn.GetStore().At(kTimeRangeEntry);
        if (!txn.Destroying(self, index))
            return Err::kNone;
        const Node& ports = txn.GetStore().At(kPowerSavingPortEntry);
        for (int p = 1; p <= portCount; ++p)
            if (txn.GetInt(ports, {static_cast<SubId>(p)}, ps::kTimeRange) ==
                static_cast<std::int64_t>(index[0]))
                return Err::kInconsistentValue;
        return Err::kNone;
    });
}

void RegisterManagementVlan(Switch& sw) {
    Store& store = sw.GetStore();
    // Management is reachable only through an existing VLAN of the symmetric mode.
    Node& state = store.AddScalar(kMgmtVlanState, "mgmtVlanState", EnabledDisabled(),
                                  Access::ReadWrite, Value::Int(2));
    Node& vid = store.AddScalar(kMgmtVlanVid, "mgmtVlanVid", Syntax::Int(1, 4094),
                                Access::ReadWrite, Value::Int(1));
    auto consistent = [](Txn& txn, const Oid&, const Value&) {
        Store& s = txn.GetStore();
        if (txn.GetInt(s.At(kMgmtVlanState), {0}, 0) != 1)
            return Err::kNone;
        const bool asymmetric = txn.GetInt(s.At(kVlanMode), {0}, 0) == vlan::kAsymmetric;
        return VlanActive(txn, txn.GetInt(s.At(kMgmtVlanVid), {0}, 0)) && !asymmetric
                   ? Err::kNone
                   : Err::kInconsistentValue;
    };
    state.Check(consistent);
    vid.Check(consistent);
    // Its VLAN cannot be deleted while it serves management, nor the
    // surveillance VLAN's while that is enabled.
    Node& vlans = store.At(kVlanEntry);
    RowCheckFn before = vlans.RowChecker();
    vlans.RowCheck([before](Txn& txn, const Oid& index) {
        if (before)
            if (const int error = before(txn, index))
                return error;
        Store& s = txn.GetStore();
        if (!txn.Destroying(s.At(kVlanEntry), index))
            return Err::kNone;
        const auto vid = static_cast<std::int64_t>(index[0]);
        for (const auto& [state, vidOid] :
             {std::pair{kMgmtVlanState, kMgmtVlanVid},
              std::pair{Concat(kSurveillance, {1}), Concat(kSurveillance, {2})}})
            if (txn.GetInt(s.At(state), {0}, 0) == 1 && txn.GetInt(s.At(vidOid), {0}, 0) == vid)
                return Err::kInconsistentValue;
        return Err::kNone;
    });
    // A change of VLAN mode resets the VLANs, and with them the management VLAN.
    store.OnChanged([&state, &vid, &store] {
        const Node& vlans = store.At(kVlanEntry);
        const Oid index{static_cast<SubId>(vid.ScalarValue()->num)};
        if (state.ScalarValue()->num == 1 &&
            (!vlans.HasRow(index) ||
             vlans.ReadInt(index, vlan::kRowStatus) != RowStatus::kActive)) {
            state.SetScalar(Value::Int(2));
            vid.SetScalar(Value::Int(1));
        }
    });
}

void RegisterSurveillance(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(Concat(kSurveillance, {3}), "surveillanceVlanPriority", Syntax::Int(0, 7),
                    Access::ReadWrite, Value::Int(5));
    // Minutes a port stays in the VLAN after its last camera frame.
    store.AddScalar(Concat(kSurveillance, {4}), "surveillanceVlanAging", Syntax::Int(1, 65535),
                    Access::ReadWrite, Value::Int(720));

    using namespace oui;
    Node& table = store.AddTable(kOuiEntry, "surveillanceOuiEntry");
    table.Col(kIndex, "surveillanceOuiIndex", Syntax::Int(1, kMaxEntries), Access::ReadOnly)
        .Col(kAddress, "surveillanceOuiAddress", Syntax::Str(3, 3), Access::ReadCreate)
        .Col(kDescription, "surveillanceOuiDescription", Syntax::Str(0, 32), Access::ReadCreate,
             Value::Str(""))
        .Live(kIndex, IndexIntColumn())
        .RowStatusCol(kRowStatus, "surveillanceOuiRowStatus")
        .Index(IntIndex(1, kMaxEntries))
        .MaxRows(kMaxEntries);
    // A unicast vendor prefix, and each one once.
    table.Check(kAddress, [](Txn& txn, const Oid& index, const Value& v) {
        if (v.bytes.size() != 3)
            return Err::kWrongLength;
        const auto first = static_cast<unsigned char>(v.bytes[0]);
        if (v.bytes == std::string(3, '\0') || (first & 1) != 0)
            return Err::kWrongValue;
        const Node& self = txn.GetStore().At(kOuiEntry);
        for (const Oid& other : txn.RowIndexes(self))
            if (other != index && txn.GetStr(self, other, kAddress) == v.bytes)
                return Err::kInconsistentValue;
        return Err::kNone;
    });
    // Two vendors' cameras the switch knows from the factory.
    const std::pair<const char*, const char*> defaults[] = {{"\x00\x40\x8c", "Axis"},
                                                            {"\x00\x80\xf0", "Panasonic"}};
    SubId row = 1;
    for (const auto& [prefix, vendor] : defaults) {
        table.SetCell({row}, kAddress, Value::Str(std::string(prefix, 3)));
        table.SetCell({row}, kDescription, Value::Str(vendor));
        table.SetCell({row}, kRowStatus, Value::Int(RowStatus::kActive));
        ++row;
    }
}

} // namespace

void RegisterSystemSettings(Switch& sw) {
    RegisterTimeRanges(sw);
    RegisterPowerSaving(sw);
    RegisterManagementVlan(sw);
    RegisterSurveillance(sw);
}

} // namespace nswsim
