#pragma once

#include "Oid.h"

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct netsnmp_transport_s;

namespace nswsim {

class Store;

// Hostile mode (--hostile): answers that a broken or malicious switch could
// send, so that the module is seen to survive them. Which object gets which
// kind is a hash of its OID and the kind, so every run answers alike.
enum class HostileKind {
    WrongType,     // INTEGER for a string and the reverse, Counter64, NULL, OID, IpAddress
    ShortPortList, // octet strings of 0 or 1 byte
    LongPortList,  // octet strings of hundreds of 0xFF bytes
    NonNumeric,    // a number sent as text becomes "abc", "", "1.2.3" ...
    OutOfRange,    // integers: -1, -2^31, 2^31-1, 2^32-1
    HugeString,    // one octet string as long as a datagram carries (~64 KiB)
    MissingColumn, // table cells that do not exist (the first column stays)
    NonIncreasing, // GETNEXT/GETBULK answers naming the asked OID again or an earlier one
    OtherOid,      // a GET answered for another OID than asked
    Endless,       // a table whose rows never end: ever-increasing indexes
};
inline constexpr int kHostileKindCount = 10;
using HostileKinds = std::bitset<kHostileKindCount>;

const char* HostileKindName(HostileKind kind);
// "all", or names separated by commas ("wrong-type,endless"). False with a
// message naming the unknown kind.
bool ParseHostileKinds(std::string_view list, HostileKinds& kinds, std::string& error);
// The names, for --help.
std::string HostileKindNames();

// The choice for an object: its hash (salted with the message version) draws one of the enabled kinds or an
// honest answer (one slot each); a drawn kind that does not fit the object
// answers honestly too. A single enabled kind applies wherever it fits.
std::optional<HostileKind> PickHostile(const HostileKinds& enabled, const HostileKinds& fitting,
                                       const Oid& object, std::uint64_t salt = 0);

// The answers of the running agent. Install once, after the agent library is
// up; the control community is never touched.
class Hostile {
public:
    Hostile(HostileKinds kinds, const Store& store, std::string controlCommunity);
    // Serves the transport through an agent session whose requests are
    // remembered and whose answers are rewritten before they are encoded.
    bool Serve(netsnmp_transport_s* transport, std::string& error);
    // MissingColumn: whether a table cell is hidden from GET and GETNEXT
    // (version: the request's message version).
    bool Hides(const Oid& instance, long version) const;

    const HostileKinds& Kinds() const { return m_kinds; }
    const Store& GetStore() const { return m_store; }
    const std::string& ControlCommunity() const { return m_control; }

private:
    HostileKinds m_kinds;
    const Store& m_store;
    std::string m_control;
};

} // namespace nswsim
