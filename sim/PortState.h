#pragma once

#include "Switch.h"

// A port's life as the simulator sees it: its physical side lives in the
// control subtree (link, link partner, media, PoE device), its configuration
// in the port control table 1.13. Every object that shows port state (ifTable,
// 1.13 operating mode, PoE status) reads it through ReadPort.
namespace nswsim {

inline const Oid kCtlPortEntry = Concat(kControl, {1, 1, 1});
inline const Oid kPortCtlEntry = Concat(kSwitchMib, {1, 13, 1});

namespace ctlport {
enum : SubId {
    kLink = 1,          // 1 up, 2 down
    kPartnerSpeed = 2,  // Mb/s the link partner offers: 10, 100, 1000
    kPartnerDuplex = 3, // 1 half, 2 full
    kMedia = 4,         // 1 copper, 2 combo copper, 3 100Base-x, 4 1000Base-x
    kAdmin = 5,         // 1 up, 2 down (the port's configuration, mirrored)
    kPoeDevice = 6,     // 1 a powered device is attached, 2 none (PoE ports only)
    kPoePowerMw = 7,
    kPoeVoltageMv = 8,
    kPoeCurrentMa = 9,
    kPoeClass = 10,   // 0-4
    kPoeTimeOff = 11, // 1 a time range has switched power off, 2 no
    kPoeFault = 12,   // 1 none, 2 overload
};
}

namespace portctl {
enum : SubId { kIndex = 1, kSpeed = 2, kOperMode = 3, kFlow = 5, kOperFlow = 6, kMedia = 7 };
enum Speed { k1000Full = 1, k100Full, k100Half, k10Full, k10Half, kAuto, kDisable };
enum OperMode { kDown = 1, kOper1000Full, kOper100Full, kOper100Half, kOper10Full, kOper10Half };
} // namespace portctl

struct PortView {
    bool adminUp = true;
    bool linkUp = false;
    bool fullDuplex = true;
    int media = 1;
    int speedMbps = 0; // while linked
    int maxMbps = 1000;
    int operMode = portctl::kDown;
    bool flowControl = false;
};

PortView ReadPort(Switch& sw, int port);
// What a port's medium can run at; the speed settings it accepts.
int MaxSpeedMbps(const Model& model, int media);
bool SpeedAllowed(const Model& model, int media, int speedSetting);
// Media codes a port can have: combo ports 2-4, others 1.
bool MediaAllowed(const Model& model, int port, int media);
bool JumboEnabled(Switch& sw);

} // namespace nswsim

namespace nswsim {

// PortList columns: any length up to 64 octets is taken; the value is stored
// in the model's octet count, with bits past the last port dropped (pages
// that invert a list set them). 'more' runs on the normalised value.
inline constexpr std::int64_t kPortListMaxOctets = 64;
inline Syntax PortListSyntax() {
    return Syntax::Str(0, kPortListMaxOctets);
}
std::string NormalisePortList(const Model& model, const std::string& bytes);
CheckFn PortListCheck(Switch& sw, Node& node, SubId column, CheckFn more = {});

} // namespace nswsim

namespace nswsim {

// A table with one row per front-panel port (index = port number) whose
// column 1 reads the port number; the caller adds the other columns.
Node& AddPortTable(Switch& sw, const Oid& entry, std::string name);

} // namespace nswsim
