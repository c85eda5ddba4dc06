// Power over Ethernet: system objects 22.2-22.8, the port table 22.1.1, the
// time ranges 23.1.1 and their names 32.1.1. Only PoE models serve them.
#include "Features.h"
#include "PortState.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

namespace nswsim {
namespace {

const Oid kPoe = Concat(kSwitchMib, {22});
const Oid kPoePortEntry = Concat(kSwitchMib, {22, 1, 1});
const Oid kTimeRangeEntry = Concat(kSwitchMib, {23, 1, 1});
const Oid kTimeRangeNameEntry = Concat(kSwitchMib, {32, 1, 1});
const Oid kBudgetControl = Concat(kControl, {2, 6});
const Oid kClockControl = Concat(kControl, {2, 7});

namespace col {
enum : SubId {
    kUnit = 1,
    kPort = 2,
    kState = 3,
    kTimeRange = 4,
    kPriority = 5,
    kClass = 6,
    kUserLimitOn = 7,
    kUserLimit = 8,
    kPower = 9,
    kVoltage = 10,
    kCurrent = 11,
    kClassification = 12,
    kStatus = 13
};
}
namespace tr {
enum : SubId {
    kIndex = 1,
    kName = 2,
    kDateOn = 3,
    kFromYear = 4,
    kFromMonth = 5,
    kFromDay = 6,
    kStartHour = 7,
    kStartMinute = 8,
    kToYear = 9,
    kToMonth = 10,
    kToDay = 11,
    kEndHour = 12,
    kEndMinute = 13,
    kMonday = 14,
    kSunday = 20,
    kRowStatus = 21
};
constexpr std::size_t kMaxRanges = 8;
} // namespace tr

std::string Watts(double watts) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", watts);
    return text;
}

// "15.4" -> 15.4; false for anything but a decimal number with at most one
// decimal (the switch keeps watts to a tenth).
bool ParseWatts(const std::string& text, double& watts) {
    if (text.empty() || text.size() > 8)
        return false;
    const auto dot = text.find('.');
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != dot && (text[i] < '0' || text[i] > '9'))
            return false;
    if (dot == 0 || (dot != std::string::npos && text.size() - dot != 2))
        return false;
    watts = std::stod(text);
    return true;
}

// Budget of the model's power supply in tenths of a watt.
int DefaultBudget(const Model& model) {
    if (model.name == "NGX-4410-10P B1" || model.name == "NGX-4410-10P")
        return 780;
    return model.poePorts >= 24 ? 1850 : 650;
}

// The threshold's range is the one the settings page offers for the model.
constexpr double kThresholdFloor = 7.1;
double ThresholdCeiling(const Model& model) {
    return model.name == "NGX-4410-10P B1" ? 78.0 : 185.0;
}

// What a port may draw: the user-defined limit, else its class setting (Auto:
// the class the device announces).
double PortLimitWatts(int classSetting, int deviceClass) {
    static const double kByClass[] = {15.4, 4.0, 7.0, 15.4, 30.0};
    if (classSetting >= 2 && classSetting <= 5)
        return kByClass[classSetting - 1];
    return kByClass[std::clamp(deviceClass, 0, 4)];
}

// The switch's wall clock: the host's local time moved by what the control
// subtree set (2.7.0), so tests can run a time range's edges.
struct SwitchClock {
    std::int64_t offsetSeconds = 0;
    std::tm Now() const {
        const std::time_t t = std::time(nullptr) + static_cast<std::time_t>(offsetSeconds);
        std::tm now{};
        localtime_r(&t, &now);
        return now;
    }
};

std::string ClockText(const std::tm& t) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900,
                  t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

// "YYYY-MM-DD HH:MM[:SS]" as a local time; false when malformed.
bool ParseClock(const std::string& text, std::time_t& t) {
    std::tm tm{};
    char tail = 0;
    const int n = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &tm.tm_year, &tm.tm_mon,
                              &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec, &tail);
    if ((n != 5 && n != 6) || tm.tm_year < 1970 || tm.tm_year > 2037 || tm.tm_mon < 1 ||
        tm.tm_mon > 12 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour > 23 || tm.tm_min > 59 ||
        tm.tm_sec > 59 || tm.tm_hour < 0 || tm.tm_min < 0 || tm.tm_sec < 0)
        return false;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    t = std::mktime(&tm);
    return t != static_cast<std::time_t>(-1);
}

bool TimeRangeInForce(const Node& ranges, SubId index, const std::tm& now) {
    const Oid row{index};
    if (ranges.ReadInt(row, tr::kRowStatus) != RowStatus::kActive)
        return true; // an unknown range never switches power off
    auto in = [&](SubId c) { return ranges.ReadInt(row, c); };
    if (in(tr::kDateOn) == 1) {
        const long today = (now.tm_year + 1900) * 10000L + (now.tm_mon + 1) * 100L + now.tm_mday;
        const long from = in(tr::kFromYear)*10000L + in(tr::kFromMonth)*100L + in(tr::kFromDay);
        const long to = in(tr::kToYear)*10000L + in(tr::kToMonth)*100L + in(tr::kToDay);
        if (today < from || today > to)
            return false;
    }
    const int weekday = (now.tm_wday + 6) % 7; // Monday first
    if (in(tr::kMonday + static_cast<SubId>(weekday)) != 1)
        return false;
    // Power goes off at the end time itself.
    const long minute = now.tm_hour * 60L + now.tm_min;
    return minute >= in(tr::kStartHour)*60 + in(tr::kStartMinute) &&
           minute < in(tr::kEndHour)*60 + in(tr::kEndMinute);
}

// Who gets power right now, within the threshold and in the shut-off order.
struct PoeState {
    std::vector<std::string> status; // by port - 1
    std::vector<double> watts;
    double used = 0;
    bool budgetReached = false;
};

double BudgetWatts(const Store& store) {
    return store.At(kBudgetControl).ScalarValue()->num / 10.0;
}

// Power the switch hands out: the threshold, within what the supply gives.
double AllowedWatts(const Store& store) {
    double threshold = 0;
    ParseWatts(store.At(Concat(kPoe, {2})).ScalarValue()->bytes, threshold);
    return std::min(threshold, BudgetWatts(store));
}

PoeState Allocate(Switch& sw, const SwitchClock& clock) {
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    const Node& ports = store.At(kPoePortEntry);
    const Node& ctl = store.At(kCtlPortEntry);
    const Node& ranges = store.At(kTimeRangeEntry);
    const double allowed = AllowedWatts(store);
    const bool byPriority = store.At(Concat(kPoe, {3})).ScalarValue()->num == 2;
    const std::tm now = clock.Now();

    PoeState state;
    state.status.assign(static_cast<std::size_t>(model.poePorts), "POWER OFF");
    state.watts.assign(static_cast<std::size_t>(model.poePorts), 0.0);
    std::vector<int> wanting;
    for (int p = 1; p <= model.poePorts; ++p) {
        const Oid poeIndex{1, static_cast<SubId>(p)};
        const Oid index{static_cast<SubId>(p)};
        auto& status = state.status[static_cast<std::size_t>(p - 1)];
        if (ports.ReadInt(poeIndex, col::kState) != 1 || !ReadPort(sw, p).adminUp)
            continue;
        const auto range = ports.ReadInt(poeIndex, col::kTimeRange);
        if (ctl.ReadInt(index, ctlport::kPoeTimeOff) == 1 ||
            (range != 0 && !TimeRangeInForce(ranges, static_cast<SubId>(range), now))) {
            status = "Time-based OFF";
            continue;
        }
        if (ctl.ReadInt(index, ctlport::kPoeDevice) != 1)
            continue;
        double limit = 0;
        if (ports.ReadInt(poeIndex, col::kUserLimitOn) != 1 ||
            !ParseWatts(ports.ReadStr(poeIndex, col::kUserLimit), limit))
            limit = PortLimitWatts(static_cast<int>(ports.ReadInt(poeIndex, col::kClass)),
                                   static_cast<int>(ctl.ReadInt(index, ctlport::kPoeClass)));
        if (ctl.ReadInt(index, ctlport::kPoeFault) == 2 ||
            ctl.ReadInt(index, ctlport::kPoePowerMw) / 1000.0 > limit + 1e-9) {
            status = "OVER LOAD";
            continue;
        }
        wanting.push_back(p);
    }
    if (byPriority) // High (3) first, then Normal, then Low; ties by port
        std::stable_sort(wanting.begin(), wanting.end(), [&](int a, int b) {
            return ports.ReadInt({1, static_cast<SubId>(a)}, col::kPriority) >
                   ports.ReadInt({1, static_cast<SubId>(b)}, col::kPriority);
        });
    for (int p : wanting) {
        const double watts = ctl.ReadInt({static_cast<SubId>(p)}, ctlport::kPoePowerMw) / 1000.0;
        if (state.used + watts > allowed + 1e-9) {
            state.budgetReached = true;
            continue;
        }
        state.used += watts;
        state.status[static_cast<std::size_t>(p - 1)] = "POWER ON";
        state.watts[static_cast<std::size_t>(p - 1)] = watts;
    }
    return state;
}

using ClockPtr = std::shared_ptr<SwitchClock>;

bool PoweredOn(Switch& sw, const SwitchClock& clock, int port) {
    return Allocate(sw, clock).status[static_cast<std::size_t>(port - 1)] == "POWER ON";
}

// Watts kept as the switch shows them ("16" is stored as "16.0").
CheckFn WattsCheck(Node& node, SubId column, double low, double high, double step) {
    return [&node, column, low, high, step](Txn& txn, const Oid& index, const Value& v) {
        double watts = 0;
        if (!ParseWatts(v.bytes, watts) || watts < low - 1e-9 || watts > high + 1e-9)
            return Err::kWrongValue;
        if (step > 0 && std::fabs(watts / step - std::round(watts / step)) > 1e-6)
            return Err::kWrongValue;
        txn.Stage(node, index, column, Value::Str(Watts(watts)));
        return Err::kNone;
    };
}

void RegisterClock(Switch& sw, const ClockPtr& clock) {
    Store& store = sw.GetStore();
    store
        .AddScalar(kClockControl, "ctlClock", Syntax::Str(16, 19), Access::ReadWrite,
                   Value::Str(""))
        .Persist(0, false)
        .Live([clock](const Oid&) -> std::optional<Value> {
            return Value::Str(ClockText(clock->Now()));
        })
        .Check([clock](Txn& txn, const Oid&, const Value& v) {
            std::time_t t = 0;
            if (!ParseClock(v.bytes, t))
                return Err::kWrongValue;
            txn.OnCommit([clock, t] { clock->offsetSeconds = t - std::time(nullptr); });
            return Err::kNone;
        });
}

void RegisterPoeSystem(Switch& sw, const ClockPtr& clock) {
    Store& store = sw.GetStore();
    const Model& model = sw.GetModel();
    const int budget = DefaultBudget(model);
    store
        .AddScalar(kBudgetControl, "ctlPoeBudget", Syntax::Int(0, 10000), Access::ReadWrite,
                   Value::Int(budget))
        .Persist(0, false);
    auto budgetWatts = [&store] { return BudgetWatts(store); };

    const double ceiling = ThresholdCeiling(model);
    Node& threshold =
        store.AddScalar(Concat(kPoe, {2}), "poeThreshold", Syntax::Str(1, 8), Access::ReadWrite,
                        Value::Str(Watts(std::min(budget / 10.0, ceiling))));
    threshold.Check(WattsCheck(threshold, 0, kThresholdFloor, ceiling, 0));
    store.AddScalar(Concat(kPoe, {3}), "poeShutOffSequence", Syntax::Enum({1, 2}),
                    Access::ReadWrite, Value::Int(1));
    store.AddScalar(Concat(kPoe, {4}), "poeBudget", Syntax::Str(), Access::ReadOnly, Value::Str(""))
        .Live([budgetWatts](const Oid&) -> std::optional<Value> {
            return Value::Str(Watts(budgetWatts()));
        });
    store
        .AddScalar(Concat(kPoe, {5}), "poePowerUsed", Syntax::Str(), Access::ReadOnly,
                   Value::Str(""))
        .Live([&sw, clock](const Oid&) -> std::optional<Value> {
            return Value::Str(Watts(Allocate(sw, *clock).used));
        });
    store
        .AddScalar(Concat(kPoe, {6}), "poePowerLeft", Syntax::Str(), Access::ReadOnly,
                   Value::Str(""))
        .Live([&sw, &store, clock](const Oid&) -> std::optional<Value> {
            return Value::Str(
                Watts(std::max(0.0, AllowedWatts(store) - Allocate(sw, *clock).used)));
        });
    store
        .AddScalar(Concat(kPoe, {7}), "poePowerPercent", Syntax::Int(0, 100), Access::ReadOnly,
                   Value::Int(0))
        .Live([&sw, clock, budgetWatts](const Oid&) -> std::optional<Value> {
            const double budget = budgetWatts();
            return Value::Int(budget > 0 ? std::lround(Allocate(sw, *clock).used * 100 / budget)
                                         : 0);
        });
    // 1 when a powered device was refused for lack of budget, else 2.
    store
        .AddScalar(Concat(kPoe, {8}), "poeBudgetReached", Syntax::Enum({1, 2}), Access::ReadOnly,
                   Value::Int(2))
        .Live([&sw, clock](const Oid&) -> std::optional<Value> {
            return Value::Int(Allocate(sw, *clock).budgetReached ? 1 : 2);
        });
}

void RegisterPoePorts(Switch& sw, const ClockPtr& clock) {
    Store& store = sw.GetStore();
    Node& table = store.AddTable(kPoePortEntry, "poePortEntry");
    table.Col(col::kUnit, "poePortUnit", Syntax::Int(1, 1), Access::ReadOnly, Value::Int(1))
        .Col(col::kPort, "poePortIndex", Syntax::Int(), Access::ReadOnly)
        .Col(col::kState, "poePortState", Syntax::Enum({1, 2}), Access::ReadWrite, Value::Int(1))
        .Col(col::kTimeRange, "poePortTimeRange", Syntax::Int(0, tr::kMaxRanges), Access::ReadWrite,
             Value::Int(0))
        .Col(col::kPriority, "poePortPriority", Syntax::Enum({1, 2, 3}), Access::ReadWrite,
             Value::Int(2))
        .Col(col::kClass, "poePortLimitClass", Syntax::Int(1, 5), Access::ReadWrite, Value::Int(1))
        .Col(col::kUserLimitOn, "poePortUserLimitOn", Syntax::Enum({1, 2}), Access::ReadWrite,
             Value::Int(2))
        .Col(col::kUserLimit, "poePortUserLimit", Syntax::Str(1, 8), Access::ReadWrite,
             Value::Str("30.0"))
        .Col(col::kPower, "poePortPower", Syntax::Str(), Access::ReadOnly)
        .Col(col::kVoltage, "poePortVoltage", Syntax::Str(), Access::ReadOnly)
        .Col(col::kCurrent, "poePortCurrent", Syntax::Int(), Access::ReadOnly)
        .Col(col::kClassification, "poePortClassification", Syntax::Str(), Access::ReadOnly)
        .Col(col::kStatus, "poePortStatus", Syntax::Str(), Access::ReadOnly);
    for (int p = 1; p <= sw.GetModel().poePorts; ++p)
        table.SetCell({1, static_cast<SubId>(p)}, col::kPort, Value::Int(p));

    const Node& ctl = store.At(kCtlPortEntry);
    auto port = [](const Oid& index) { return static_cast<int>(index[1]); };
    auto ctlRead = [&ctl, port](const Oid& index, SubId c) {
        return ctl.ReadInt({static_cast<SubId>(port(index))}, c);
    };
    table.Live(col::kStatus, [&sw, clock, port](const Oid& index) -> std::optional<Value> {
        return Value::Str(Allocate(sw, *clock).status[static_cast<std::size_t>(port(index) - 1)]);
    });
    table.Live(col::kPower, [&sw, clock, port](const Oid& index) -> std::optional<Value> {
        return Value::Str(
            Watts(Allocate(sw, *clock).watts[static_cast<std::size_t>(port(index) - 1)]));
    });
    table.Live(
        col::kVoltage, [&sw, clock, port, ctlRead](const Oid& index) -> std::optional<Value> {
            const bool on = PoweredOn(sw, *clock, port(index));
            return Value::Str(Watts(on ? ctlRead(index, ctlport::kPoeVoltageMv) / 1000.0 : 0));
        });
    table.Live(
        col::kCurrent, [&sw, clock, port, ctlRead](const Oid& index) -> std::optional<Value> {
            return Value::Int(
                PoweredOn(sw, *clock, port(index)) ? ctlRead(index, ctlport::kPoeCurrentMa) : 0);
        });
    table.Live(col::kClassification, [ctlRead](const Oid& index) -> std::optional<Value> {
        if (ctlRead(index, ctlport::kPoeDevice) != 1)
            return Value::Str("N/A");
        return Value::Str("Class " + std::to_string(ctlRead(index, ctlport::kPoeClass)));
    });
    // Watts in steps of 0.2, up to 30.
    table.Check(col::kUserLimit, WattsCheck(table, col::kUserLimit, 0, 30.0, 0.2));
    table.Check(col::kTimeRange, [](Txn& txn, const Oid&, const Value& v) {
        if (v.num == 0)
            return Err::kNone;
        const Node& ranges = txn.GetStore().At(kTimeRangeEntry);
        return txn.GetInt(ranges, {static_cast<SubId>(v.num)}, tr::kRowStatus) == RowStatus::kActive
                   ? Err::kNone
                   : Err::kInconsistentValue;
    });
}

void RegisterTimeRanges(Switch& sw) {
    using namespace tr;
    Store& store = sw.GetStore();
    Node& table = store.AddTable(kTimeRangeEntry, "poeTimeRangeEntry");
    table.Col(kIndex, "timeRangeIndex", Syntax::Int(1, kMaxRanges), Access::ReadOnly)
        .Col(kName, "timeRangeName", Syntax::Str(1, 32), Access::ReadCreate)
        .Col(kDateOn, "timeRangeDateOn", Syntax::Enum({1, 2}), Access::ReadCreate, Value::Int(2))
        .Col(kFromYear, "timeRangeFromYear", Syntax::Int(2009, 2037), Access::ReadCreate,
             Value::Int(2009))
        .Col(kFromMonth, "timeRangeFromMonth", Syntax::Int(1, 12), Access::ReadCreate,
             Value::Int(1))
        .Col(kFromDay, "timeRangeFromDay", Syntax::Int(1, 31), Access::ReadCreate, Value::Int(1))
        .Col(kStartHour, "timeRangeStartHour", Syntax::Int(0, 23), Access::ReadCreate,
             Value::Int(0))
        .Col(kStartMinute, "timeRangeStartMinute", Syntax::Int(0, 59), Access::ReadCreate,
             Value::Int(0))
        .Col(kToYear, "timeRangeToYear", Syntax::Int(2009, 2037), Access::ReadCreate,
             Value::Int(2037))
        .Col(kToMonth, "timeRangeToMonth", Syntax::Int(1, 12), Access::ReadCreate, Value::Int(12))
        .Col(kToDay, "timeRangeToDay", Syntax::Int(1, 31), Access::ReadCreate, Value::Int(31))
        .Col(kEndHour, "timeRangeEndHour", Syntax::Int(0, 23), Access::ReadCreate, Value::Int(23))
        .Col(kEndMinute, "timeRangeEndMinute", Syntax::Int(0, 59), Access::ReadCreate,
             Value::Int(59));
    const char* days[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                          "Friday", "Saturday", "Sunday"};
    for (SubId d = 0; d < 7; ++d)
        table.Col(kMonday + d, std::string("timeRange") + days[d], Syntax::Int(0, 2),
                  Access::ReadCreate, Value::Int(2));
    table.Live(kIndex,
               [](const Oid& index) -> std::optional<Value> { return Value::Int(index[0]); });
    table.RowStatusCol(kRowStatus, "timeRangeRowStatus")
        .Index([](const Oid& index) {
            return index.size() == 1 && index[0] >= 1 && index[0] <= kMaxRanges;
        })
        .MaxRows(kMaxRanges);
    // A range that ports still name may go: they keep its number, and a range
    // that does not exist never switches power off.
    table.RowCheck([](Txn& txn, const Oid& index) {
        const Node& self = txn.GetStore().At(kTimeRangeEntry);
        if (txn.Destroying(self, index))
            return Err::kNone;
        auto in = [&](SubId c) { return txn.GetInt(self, index, c); };
        if (in(kStartHour)*60 + in(kStartMinute) > in(kEndHour)*60 + in(kEndMinute))
            return Err::kInconsistentValue;
        if (in(kDateOn) == 1 && in(kFromYear)*10000 + in(kFromMonth)*100 + in(kFromDay) >
                                    in(kToYear)*10000 + in(kToMonth)*100 + in(kToDay))
            return Err::kInconsistentValue;
        return Err::kNone;
    });

    // Names of the active ranges, as the port page offers them.
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

} // namespace

void RegisterPoe(Switch& sw) {
    if (!sw.GetModel().HasPoe())
        return;
    auto clock = std::make_shared<SwitchClock>();
    RegisterClock(sw, clock);
    RegisterPoeSystem(sw, clock);
    RegisterPoePorts(sw, clock);
    RegisterTimeRanges(sw);
}

} // namespace nswsim
