#include "Hostile.h"

#include "Store.h"

// net-snmp needs its configuration header first.
#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>
#include <deque>
#include <map>
#include <vector>

namespace nswsim {
namespace {

constexpr const char* kNames[kHostileKindCount] = {
    "wrong-type", "short-portlist", "long-portlist",  "non-numeric", "out-of-range",
    "huge-string", "missing-column", "non-increasing", "other-oid",  "endless"};

// The largest UDP payload over IPv4.
constexpr std::size_t kUdpMax = 65507;

HostileKinds Only(std::initializer_list<HostileKind> kinds) {
    HostileKinds set;
    for (HostileKind kind : kinds)
        set.set(static_cast<std::size_t>(kind));
    return set;
}

std::uint64_t Hash(const Oid& oid, std::uint64_t salt) {
    std::uint64_t h = 1469598103934665603ULL ^ (salt * 0x9E3779B97F4A7C15ULL);
    for (SubId arc : oid) {
        h ^= arc;
        h *= 1099511628211ULL;
    }
    h ^= h >> 29;
    return h;
}

Oid ToOid(const oid* name, std::size_t length) {
    return Oid(name, name + length);
}

void SetName(netsnmp_variable_list* vb, const Oid& name) {
    std::vector<oid> arcs(name.begin(), name.end());
    snmp_set_var_objid(vb, arcs.data(), arcs.size());
}

// What was asked, by request id: the answer no longer holds it.
struct Request {
    int command = 0;
    long nonRepeaters = 0;
    long repetitions = 0;
    std::vector<Oid> names;
};

const Hostile* g_hostile = nullptr;
std::map<long, Request> g_requests;
std::deque<long> g_order;
const Oid kSysUpTime = {1, 3, 6, 1, 2, 1, 1, 3, 0};

// The control community stays honest, so a test can always steer.
bool IsControl(const netsnmp_pdu* pdu) {
    const std::string& control = g_hostile->ControlCommunity();
    return pdu->version != SNMP_VERSION_3 && pdu->community &&
           pdu->community_len == control.size() &&
           std::memcmp(pdu->community, control.data(), control.size()) == 0;
}

bool Numeric(const netsnmp_variable_list* vb) {
    if (vb->val_len == 0)
        return false;
    for (std::size_t i = 0; i < vb->val_len; ++i) {
        const unsigned char c = vb->val.string[i];
        if (!(std::isdigit(c) || c == '.' || c == '-' || c == ' '))
            return false;
    }
    return true;
}

bool IsException(u_char type) {
    return type == SNMP_NOSUCHOBJECT || type == SNMP_NOSUCHINSTANCE || type == SNMP_ENDOFMIBVIEW;
}

// The table column an asked OID lies in; empty when it is in no table.
Oid ColumnOf(const Store& store, const Oid& asked) {
    for (const auto& [base, node] : store.Nodes())
        if (!node->IsScalar() && asked.size() > base.size() && StartsWith(asked, base))
            return Concat(base, {asked[base.size()]});
    return {};
}

class Rewriter {
public:
    Rewriter(const Hostile& hostile, netsnmp_pdu* pdu, const Request& request)
        : m_kinds(hostile.Kinds()), m_store(hostile.GetStore()), m_pdu(pdu), m_request(request) {}

    // Rewrites the answer's variables; the huge string, if one was chosen,
    // is left in m_huge for the encoder to fit.
    void Run() {
        std::size_t i = 0;
        // GETBULK: the name each repeated variable had in the last repetition.
        std::map<const Oid*, Oid> previous;
        for (netsnmp_variable_list* vb = m_pdu->variables; vb; vb = vb->next_variable, ++i) {
            long repetition = 0;
            const Oid* asked = Asked(i, repetition);
            if (!asked)
                continue;
            if (m_request.command == SNMP_MSG_GET) {
                RewriteGetName(vb, *asked);
            } else {
                const auto last = previous.find(asked);
                RewriteNextName(vb, *asked, last == previous.end() ? *asked : last->second,
                                repetition);
                previous[asked] = ToOid(vb->name, vb->name_length);
            }
            if (!IsException(vb->type))
                RewriteValue(vb);
        }
    }
    netsnmp_variable_list* Huge() const { return m_huge; }

private:
    bool Has(HostileKind kind) const { return m_kinds.test(static_cast<std::size_t>(kind)); }
    // Each SNMP version draws on its own, so one run per version meets more.
    std::uint64_t Salt() const { return std::uint64_t(m_pdu->version); }

    const Oid* Asked(std::size_t i, long& repetition) const {
        const std::size_t count = m_request.names.size();
        if (count == 0)
            return nullptr;
        if (m_request.command != SNMP_MSG_GETBULK)
            return i < count ? &m_request.names[i] : nullptr;
        const std::size_t fixed = std::min<std::size_t>(std::max(0L, m_request.nonRepeaters), count);
        if (i < fixed)
            return &m_request.names[i];
        const std::size_t repeating = count - fixed;
        if (repeating == 0)
            return nullptr;
        repetition = long((i - fixed) / repeating);
        return &m_request.names[fixed + (i - fixed) % repeating];
    }

    void RewriteGetName(netsnmp_variable_list* vb, const Oid& asked) {
        if (PickHostile(m_kinds, Only({HostileKind::OtherOid}), asked, Salt()) != HostileKind::OtherOid)
            return;
        // The next instance, or an object that is always there.
        Oid other = asked;
        if (Hash(asked, 77) & 1)
            other.back() += 1;
        else
            other = asked == kSysUpTime ? Oid{1, 3, 6, 1, 2, 1, 1, 5, 0} : kSysUpTime;
        SetName(vb, other);
    }

    // before: the OID this answer follows (the asked one, or the answer of
    // the last repetition).
    void RewriteNextName(netsnmp_variable_list* vb, const Oid& asked, const Oid& before,
                         long repetition) {
        const Oid column = ColumnOf(m_store, asked);
        const Oid answered = ToOid(vb->name, vb->name_length);
        if (!column.empty()) {
            // Tables draw their kind as a whole: endless, stepping back, or honest.
            const auto kind = PickHostile(
                m_kinds, Only({HostileKind::Endless, HostileKind::NonIncreasing}),
                Oid(column.begin(), column.end() - 1), Salt());
            if (kind == HostileKind::Endless) {
                // The row after the asked one, however far the walk has gone.
                Oid name = column;
                if (asked.size() > column.size()) {
                    name = asked;
                    name.back() += SubId(repetition + 1);
                } else {
                    name.push_back(SubId(repetition + 1));
                }
                const bool keepValue = !IsException(vb->type) && StartsWith(answered, column);
                SetName(vb, name);
                if (!keepValue) {
                    long number = long(name.back());
                    snmp_set_var_typed_value(vb, ASN_INTEGER, &number, sizeof number);
                }
                return;
            }
            // A table that steps back does so at one answer in three.
            if (kind != HostileKind::NonIncreasing || Hash(answered, 91) % 3 != 0)
                return;
        } else if (PickHostile(m_kinds, Only({HostileKind::NonIncreasing}), answered, Salt()) !=
                   HostileKind::NonIncreasing) {
            return;
        }
        // The OID it follows again, or one before that.
        Oid name = before;
        if ((Hash(answered, 92) & 1) && !name.empty() && name.back() > 0)
            name.back() -= 1;
        SetName(vb, name);
        if (IsException(vb->type)) {
            long number = 1;
            snmp_set_var_typed_value(vb, ASN_INTEGER, &number, sizeof number);
        }
    }

    void RewriteValue(netsnmp_variable_list* vb) {
        const Oid name = ToOid(vb->name, vb->name_length);
        HostileKinds fitting = Only({HostileKind::WrongType});
        const bool text = vb->type == ASN_OCTET_STR;
        if (text) {
            fitting |= Only({HostileKind::ShortPortList, HostileKind::LongPortList});
            if (!m_huge)
                fitting |= Only({HostileKind::HugeString});
            if (Numeric(vb))
                fitting |= Only({HostileKind::NonNumeric});
        }
        if (vb->type == ASN_INTEGER || vb->type == ASN_GAUGE || vb->type == ASN_COUNTER ||
            vb->type == ASN_TIMETICKS)
            fitting |= Only({HostileKind::OutOfRange});
        const auto kind = PickHostile(m_kinds, fitting, name, Salt());
        if (!kind)
            return;
        const std::uint64_t h = Hash(name, 1000 + static_cast<std::uint64_t>(*kind));
        switch (*kind) {
        case HostileKind::WrongType:
            WrongType(vb, h);
            break;
        case HostileKind::ShortPortList:
            SetBytes(vb, std::string(h & 1, '\xff'));
            break;
        case HostileKind::LongPortList:
            SetBytes(vb, std::string(200 + h % 400, '\xff'));
            break;
        case HostileKind::NonNumeric: {
            static const char* const texts[] = {"abc", "", "1.2.3", "-", "N/A", "12x", "0x1F",
                                                "--1"};
            SetBytes(vb, texts[h % std::size(texts)]);
            break;
        }
        case HostileKind::OutOfRange: {
            static const long integers[] = {-1, -2147483647L - 1, 2147483647L, 4294967295L};
            const long number = integers[h % std::size(integers)];
            if (vb->type == ASN_INTEGER || number >= 0)
                snmp_set_var_typed_value(vb, vb->type, &number, sizeof number);
            else {
                const u_long top = 4294967295UL;
                snmp_set_var_typed_value(vb, vb->type, &top, sizeof top);
            }
            break;
        }
        case HostileKind::HugeString:
            SetBytes(vb, std::string(kUdpMax, 'A'));
            m_huge = vb;
            break;
        default:
            break;
        }
    }

    void WrongType(netsnmp_variable_list* vb, std::uint64_t h) {
        const bool v1 = m_pdu->version == SNMP_VERSION_1;
        switch (h % 5) {
        case 0:
            if (vb->type == ASN_OCTET_STR) {
                long number = 7;
                snmp_set_var_typed_value(vb, ASN_INTEGER, &number, sizeof number);
            } else {
                SetBytes(vb, "7");
            }
            break;
        case 1:
            if (!v1) { // SNMPv1 has no Counter64
                counter64 big{0xFFFFFFFFUL, 0xFFFFFFFFUL};
                snmp_set_var_typed_value(vb, ASN_COUNTER64, &big, sizeof big);
                break;
            }
            [[fallthrough]];
        case 2:
            snmp_set_var_typed_value(vb, ASN_NULL, nullptr, 0);
            break;
        case 3: {
            const oid value[] = {1, 3, 6, 1, 4, 1, 32473};
            snmp_set_var_typed_value(vb, ASN_OBJECT_ID, value, sizeof value);
            break;
        }
        default: {
            const u_char address[4] = {192, 0, 2, 1};
            snmp_set_var_typed_value(vb, ASN_IPADDRESS, address, sizeof address);
            break;
        }
        }
    }

    static void SetBytes(netsnmp_variable_list* vb, const std::string& bytes) {
        snmp_set_var_typed_value(vb, ASN_OCTET_STR, bytes.data(), bytes.size());
    }

    const HostileKinds& m_kinds;
    const Store& m_store;
    netsnmp_pdu* m_pdu;
    const Request& m_request;
    netsnmp_variable_list* m_huge = nullptr;
};

// After the library parsed a request: remember what it asked.
int PostParse(netsnmp_session* session, netsnmp_pdu* pdu, int result) {
    const int checked = netsnmp_agent_check_parse(session, pdu, result);
    if (!checked || !pdu || !g_hostile || IsControl(pdu))
        return checked;
    if (pdu->command != SNMP_MSG_GET && pdu->command != SNMP_MSG_GETNEXT &&
        pdu->command != SNMP_MSG_GETBULK)
        return checked;
    Request request;
    request.command = pdu->command;
    if (pdu->command == SNMP_MSG_GETBULK) {
        request.nonRepeaters = pdu->non_repeaters;
        request.repetitions = pdu->max_repetitions;
    }
    for (const netsnmp_variable_list* vb = pdu->variables; vb; vb = vb->next_variable)
        request.names.push_back(ToOid(vb->name, vb->name_length));
    if (g_requests.insert_or_assign(pdu->reqid, std::move(request)).second)
        g_order.push_back(pdu->reqid);
    // Requests that never get an answer (dropped, refused) are forgotten in time.
    while (g_order.size() > 1024) {
        g_requests.erase(g_order.front());
        g_order.pop_front();
    }
    return checked;
}

// Encodes an answer after rewriting it. The packet ends up at the start of
// the buffer, where the library sends it from.
int Build(netsnmp_session* session, netsnmp_pdu* pdu, u_char** packet, size_t* size,
          size_t* length) {
    netsnmp_variable_list* huge = nullptr;
    if (pdu->command == SNMP_MSG_RESPONSE && pdu->errstat == SNMP_ERR_NOERROR && g_hostile) {
        const auto it = g_requests.find(pdu->reqid);
        if (it != g_requests.end()) {
            Rewriter rewriter(*g_hostile, pdu, it->second);
            rewriter.Run();
            huge = rewriter.Huge();
            g_requests.erase(it);
        }
    }
    // The answer may be longer than the manager's message size said.
    pdu->msgMaxSize = long(kUdpMax);
    session->sndMsgMaxSize = kUdpMax;
    for (int attempt = 0;; ++attempt) {
        *length = 0;
        if (snmp_build(packet, size, length, session, pdu) != 0)
            return -1;
        if (!(pdu->flags & UCD_MSG_FLAG_FORWARD_ENCODE))
            std::memmove(*packet, *packet + *size - *length, *length);
        if (*length <= kUdpMax || !huge || attempt == 3)
            return 0;
        // Too long for a datagram: shorten the huge string by the excess.
        const std::size_t excess = *length - kUdpMax + 16;
        const std::size_t keep = huge->val_len > excess ? huge->val_len - excess : 0;
        const std::string bytes(keep, 'A');
        snmp_set_var_typed_value(huge, ASN_OCTET_STR, bytes.data(), bytes.size());
    }
}

} // namespace

const char* HostileKindName(HostileKind kind) {
    return kNames[static_cast<std::size_t>(kind)];
}

std::string HostileKindNames() {
    std::string names;
    for (const char* name : kNames)
        names += (names.empty() ? "" : ", ") + std::string(name);
    return names;
}

bool ParseHostileKinds(std::string_view list, HostileKinds& kinds, std::string& error) {
    kinds.reset();
    if (list.empty() || list == "all") {
        kinds.set();
        return true;
    }
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        const auto* found = std::find(std::begin(kNames), std::end(kNames), name);
        if (found == std::end(kNames)) {
            error = "unknown hostile kind \"" + std::string(name) + "\" (kinds: " +
                    HostileKindNames() + ")";
            return false;
        }
        kinds.set(static_cast<std::size_t>(found - std::begin(kNames)));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
    return true;
}

std::optional<HostileKind> PickHostile(const HostileKinds& enabled, const HostileKinds& fitting,
                                       const Oid& object, std::uint64_t salt) {
    if (enabled.count() == 1)
        return (enabled & fitting).any() ? std::optional(static_cast<HostileKind>(
                                               std::countr_zero(enabled.to_ulong())))
                                         : std::nullopt;
    // One slot per enabled kind and one for the honest answer; a kind that
    // does not fit the object answers honestly too.
    std::size_t slot = Hash(object, enabled.to_ulong() * 31 + salt) % (enabled.count() + 1);
    for (int k = 0; k < kHostileKindCount; ++k) {
        if (!enabled.test(static_cast<std::size_t>(k)))
            continue;
        if (slot-- == 0)
            return fitting.test(static_cast<std::size_t>(k))
                       ? std::optional(static_cast<HostileKind>(k))
                       : std::nullopt;
    }
    return std::nullopt;
}

Hostile::Hostile(HostileKinds kinds, const Store& store, std::string controlCommunity)
    : m_kinds(kinds), m_store(store), m_control(std::move(controlCommunity)) {}

bool Hostile::Serve(netsnmp_transport* transport, std::string& error) {
    // What netsnmp_register_agent_nsap does, with our parse and build hooks.
    netsnmp_session session;
    snmp_sess_init(&session);
    session.version = SNMP_DEFAULT_VERSION;
    session.callback = handle_snmp_packet;
    session.flags = netsnmp_ds_get_int(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_FLAGS);
    session.isAuthoritative = SNMP_SESS_AUTHORITATIVE;
    g_hostile = this;
    if (!snmp_add_full(&session, transport, netsnmp_agent_check_packet, nullptr, PostParse, nullptr,
                       Build, nullptr, nullptr)) {
        g_hostile = nullptr;
        error = "cannot serve the hostile agent session";
        return false;
    }
    return true;
}

bool Hostile::Hides(const Oid& instance, long version) const {
    if (!m_kinds.test(static_cast<std::size_t>(HostileKind::MissingColumn)))
        return false;
    for (const auto& [base, node] : m_store.Nodes()) {
        if (node->IsScalar() || instance.size() <= base.size() + 1 || !StartsWith(instance, base))
            continue;
        // The first column stays, so the rows are still there.
        if (node->Columns().empty() || instance[base.size()] == node->Columns().front().id)
            return false;
        return PickHostile(m_kinds, Only({HostileKind::MissingColumn}), instance,
                           std::uint64_t(version)) ==
               HostileKind::MissingColumn;
    }
    return false;
}

} // namespace nswsim
