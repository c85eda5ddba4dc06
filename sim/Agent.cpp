#include "Agent.h"

#include "Hostile.h"

// net-snmp needs its configuration header first.
#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <sys/select.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace nswsim {
namespace {

constexpr const char* kAppName = "nsw-sim";

Agent* g_agent = nullptr;
const std::atomic<bool>* g_stop = nullptr;
int (*g_udpRecv)(netsnmp_transport*, void*, int, void**, int*) = nullptr;

Oid ToOid(const oid* name, std::size_t length) {
    Oid result(length);
    for (std::size_t i = 0; i < length; ++i)
        result[i] = static_cast<SubId>(name[i]);
    return result;
}

std::vector<oid> ToNetSnmp(const Oid& name) {
    return {name.begin(), name.end()};
}

void SetVarValue(netsnmp_variable_list* vb, const Value& value) {
    switch (value.type) {
    case Type::Integer: {
        long number = static_cast<long>(value.num);
        snmp_set_var_typed_value(vb, ASN_INTEGER, &number, sizeof number);
        break;
    }
    case Type::Counter32:
    case Type::Gauge32:
    case Type::TimeTicks: {
        u_long number = static_cast<u_long>(value.num) & 0xffffffffUL;
        const u_char tag = value.type == Type::Counter32 ? ASN_COUNTER
                           : value.type == Type::Gauge32 ? ASN_GAUGE
                                                         : ASN_TIMETICKS;
        snmp_set_var_typed_value(vb, tag, &number, sizeof number);
        break;
    }
    case Type::Counter64: {
        const auto number = static_cast<std::uint64_t>(value.num);
        counter64 c64{static_cast<u_long>(number >> 32), static_cast<u_long>(number & 0xffffffffU)};
        snmp_set_var_typed_value(vb, ASN_COUNTER64, &c64, sizeof c64);
        break;
    }
    case Type::OctetString:
    case Type::IpAddress:
        snmp_set_var_typed_value(vb, value.type == Type::IpAddress ? ASN_IPADDRESS : ASN_OCTET_STR,
                                 value.bytes.data(), value.bytes.size());
        break;
    case Type::ObjectId: {
        auto name = ToNetSnmp(value.oid);
        snmp_set_var_typed_value(vb, ASN_OBJECT_ID, name.data(), name.size() * sizeof(oid));
        break;
    }
    }
}

// The value of a SET varbind; nothing for syntaxes the switch never uses.
std::optional<Value> FromVar(const netsnmp_variable_list* vb) {
    Value value;
    switch (vb->type) {
    case ASN_INTEGER:
        value = Value::Int(*vb->val.integer);
        break;
    case ASN_OCTET_STR:
        value = Value::Str(std::string(reinterpret_cast<const char*>(vb->val.string), vb->val_len));
        break;
    case ASN_IPADDRESS:
        value.type = Type::IpAddress;
        value.bytes.assign(reinterpret_cast<const char*>(vb->val.string), vb->val_len);
        break;
    case ASN_OBJECT_ID:
        value = Value::ObjId(ToOid(vb->val.objid, vb->val_len / sizeof(oid)));
        break;
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
        value.type = vb->type == ASN_COUNTER ? Type::Counter32
                     : vb->type == ASN_GAUGE ? Type::Gauge32
                                             : Type::TimeTicks;
        value.num = static_cast<std::int64_t>(*reinterpret_cast<const u_long*>(vb->val.integer) &
                                              0xffffffffUL);
        break;
    default:
        return std::nullopt;
    }
    return value;
}

// One SET across every registration it touches: checked as a whole.
struct SetState {
    explicit SetState(Store& store) : txn(store) {}
    Txn txn;
    std::vector<SetItem> items;
    std::vector<int> pduIndex;
    int badTypeIndex = -1; // pdu index of a varbind with a syntax we do not know
    bool prepared = false;
    int failedPdu = -1;
    int error = 0;
    bool applied = false;
    bool committed = false;
    bool undone = false;
};

constexpr const char* kSetKey = "nsw-set";
constexpr const char* kCountedKey = "nsw-counted";

void CountRequest(netsnmp_agent_request_info* info) {
    static char counted;
    if (netsnmp_agent_get_list_data(info, kCountedKey))
        return;
    netsnmp_agent_add_list_data(info, netsnmp_create_data_list(kCountedKey, &counted, nullptr));
    const netsnmp_pdu* pdu = info->asp ? info->asp->pdu : nullptr;
    if (!pdu)
        return;
    if (pdu->community && g_agent->IsControlCommunity(pdu->community, pdu->community_len))
        return;
    Counters& counters = g_agent->GetSwitch().GetCounters();
    switch (pdu->command) {
    case SNMP_MSG_GET:
        ++counters.get;
        break;
    case SNMP_MSG_GETNEXT:
        ++counters.getNext;
        break;
    case SNMP_MSG_GETBULK:
        ++counters.getBulk;
        break;
    case SNMP_MSG_SET:
        ++counters.set;
        break;
    default:
        break;
    }
}

void HandleSet(netsnmp_agent_request_info* info, netsnmp_request_info* requests) {
    Store& store = g_agent->GetSwitch().GetStore();
    auto* state = static_cast<SetState*>(netsnmp_agent_get_list_data(info, kSetKey));
    if (!state) {
        state = new SetState(store);
        netsnmp_agent_add_list_data(info, netsnmp_create_data_list(kSetKey, state, [](void* p) {
                                        delete static_cast<SetState*>(p);
                                    }));
    }
    switch (info->mode) {
    case MODE_SET_RESERVE1:
        // Collect; the whole request is checked once every part is known.
        for (auto* r = requests; r; r = r->next) {
            auto value = FromVar(r->requestvb);
            if (!value) {
                netsnmp_set_request_error(info, r, SNMP_ERR_WRONGTYPE);
                return;
            }
            state->items.push_back({ToOid(r->requestvb->name, r->requestvb->name_length), *value});
            state->pduIndex.push_back(r->index);
        }
        break;
    case MODE_SET_RESERVE2:
        if (!state->prepared) {
            state->prepared = true;
            int failed = -1;
            if (!store.Prepare(state->txn, state->items, failed, state->error))
                state->failedPdu = state->pduIndex[static_cast<std::size_t>(failed)];
        }
        if (state->failedPdu >= 0)
            for (auto* r = requests; r; r = r->next)
                if (r->index == state->failedPdu)
                    netsnmp_set_request_error(info, r, state->error);
        break;
    case MODE_SET_ACTION:
        if (!state->applied) {
            state->applied = true;
            store.Apply(state->txn);
        }
        break;
    case MODE_SET_COMMIT:
        if (!state->committed) {
            state->committed = true;
            store.Commit(state->txn);
        }
        break;
    case MODE_SET_UNDO:
        if (state->applied && !state->undone) {
            state->undone = true;
            store.Undo(state->txn);
        }
        break;
    default:
        break;
    }
}

bool FromControlCommunity(netsnmp_agent_request_info* info) {
    const netsnmp_pdu* pdu = info->asp ? info->asp->pdu : nullptr;
    return pdu && pdu->version != SNMP_VERSION_3 && pdu->community &&
           g_agent->IsControlCommunity(pdu->community, pdu->community_len);
}

int Handle(netsnmp_mib_handler*, netsnmp_handler_registration* reg,
           netsnmp_agent_request_info* info, netsnmp_request_info* requests) {
    CountRequest(info);
    Store& store = g_agent->GetSwitch().GetStore();
    const Oid root = ToOid(reg->rootoid, reg->rootoid_len);
    if (root == kControl && !FromControlCommunity(info)) {
        // Not in a VACM view of its own: the library's view check inside a
        // GETBULK that runs past the switch's last object into an excluded
        // subtree leaves a variable unfinished, and the answer goes out as
        // genErr. To anybody else the subtree simply does not exist.
        if (info->mode == MODE_GET || info->mode == MODE_SET_RESERVE1)
            for (auto* r = requests; r; r = r->next)
                netsnmp_set_request_error(
                    info, r, info->mode == MODE_GET ? SNMP_NOSUCHOBJECT : SNMP_ERR_NOACCESS);
        return SNMP_ERR_NOERROR;
    }
    switch (info->mode) {
    case MODE_GET:
        for (auto* r = requests; r; r = r->next) {
            if (r->processed)
                continue;
            Store::Missing missing = Store::Missing::None;
            const Oid asked = ToOid(r->requestvb->name, r->requestvb->name_length);
            auto value = g_agent->Hides(asked, info) ? std::nullopt : store.Get(asked, &missing);
            if (value)
                SetVarValue(r->requestvb, *value);
            else
                netsnmp_set_request_error(info, r,
                                          missing == Store::Missing::Object ? SNMP_NOSUCHOBJECT
                                                                            : SNMP_NOSUCHINSTANCE);
        }
        break;
    case MODE_GETNEXT:
        for (auto* r = requests; r; r = r->next) {
            if (r->processed)
                continue;
            Oid name;
            Value value;
            // Past the end of our data the varbind stays as it is and the
            // library moves on (endOfMibView / noSuchName).
            Oid after = ToOid(r->requestvb->name, r->requestvb->name_length);
            bool found = false;
            while ((found = store.GetNext(after, root, name, value)) && g_agent->Hides(name, info))
                after = name;
            if (found) {
                auto netName = ToNetSnmp(name);
                snmp_set_var_objid(r->requestvb, netName.data(), netName.size());
                SetVarValue(r->requestvb, value);
            }
        }
        break;
    default:
        HandleSet(info, requests);
        break;
    }
    return SNMP_ERR_NOERROR;
}

// Reads the community of a v1/v2c message without decoding the rest.
bool PeekCommunity(const unsigned char* p, std::size_t n, const unsigned char*& community,
                   std::size_t& length) {
    const unsigned char* end = p + n;
    auto header = [&](unsigned char tag, std::size_t& len) {
        if (end - p < 2 || *p != tag)
            return false;
        ++p;
        if (*p < 0x80) {
            len = *p++;
        } else {
            int bytes = *p++ & 0x7f;
            if (bytes == 0 || bytes > 4 || end - p < bytes)
                return false;
            len = 0;
            while (bytes--)
                len = (len << 8) | *p++;
        }
        return static_cast<std::size_t>(end - p) >= len || tag == 0x30;
    };
    std::size_t len = 0;
    if (!header(0x30, len) || !header(0x02, len))
        return false;
    p += len;
    if (!header(0x04, len))
        return false;
    community = p;
    length = len;
    return true;
}

void SleepCooperatively(int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until && !(g_stop && g_stop->load())) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(10)));
    }
}

// Fault injection sits between the socket and the library: a dropped request
// is read and forgotten, a delayed one waits before it is processed.
int RecvWithFaults(netsnmp_transport* t, void* buf, int size, void** opaque, int* olength) {
    int n = g_udpRecv(t, buf, size, opaque, olength);
    if (n <= 0 || !g_agent)
        return n;
    const unsigned char* community = nullptr;
    std::size_t length = 0;
    if (PeekCommunity(static_cast<const unsigned char*>(buf), static_cast<std::size_t>(n),
                      community, length) &&
        g_agent->IsControlCommunity(community, length))
        return n;
    Switch& sw = g_agent->GetSwitch();
    // A switch whose SNMP agent is disabled answers nobody else.
    if (sw.DropRequest() || g_agent->AgentDisabled()) {
        free(*opaque);
        *opaque = nullptr;
        *olength = 0;
        t->flags |= NETSNMP_TRANSPORT_FLAG_EMPTY_PKT;
        return 0;
    }
    if (sw.GetFaults().delayMs > 0)
        SleepCooperatively(sw.GetFaults().delayMs);
    return n;
}

} // namespace

Agent::Agent(Switch& sw) : m_switch(sw) {}

Agent::~Agent() {
    if (m_started) {
        snmp_shutdown(kAppName);
        shutdown_agent();
    }
    g_agent = nullptr;
}

bool Agent::Hides(const Oid& instance, netsnmp_agent_request_info* info) const {
    const netsnmp_pdu* pdu = info->asp ? info->asp->pdu : nullptr;
    return m_hostile && pdu && !FromControlCommunity(info) &&
           m_hostile->Hides(instance, pdu->version);
}

bool Agent::IsControlCommunity(const unsigned char* community, std::size_t length) const {
    const std::string& control = m_switch.GetOptions().controlCommunity;
    return length == control.size() && std::memcmp(community, control.data(), length) == 0;
}

bool Agent::Start(std::string& error) {
    if (g_agent) {
        error = "one agent per process";
        return false;
    }
    g_agent = this;
    const Options& options = m_switch.GetOptions();

    snmp_enable_stderrlog();
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 0);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_ROOT_ACCESS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID,
                           NETSNMP_DS_AGENT_DONT_LOG_TCPWRAPPERS_CONNECTS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR,
                          options.runtimeDir.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CONFIGURATION_DIR,
                          options.runtimeDir.c_str());

    init_agent(kAppName);
    AgentAccess::DropLibraryChecks();

    const std::pair<const char*, const Oid*> roots[] = {{"nsw-lldp", &kLldpMib},
                                                        {"nsw-mib2", &kMib2},
                                                        {"nsw-switch", &kSwitchMib},
                                                        {"nsw-control", &kControl}};
    for (const auto& [name, root] : roots) {
        auto rootOid = ToNetSnmp(*root);
        netsnmp_handler_registration* reg = netsnmp_create_handler_registration(
            name, Handle, rootOid.data(), rootOid.size(), HANDLER_CAN_RWRITE);
        if (!reg || netsnmp_register_handler(reg) != MIB_REGISTERED_OK) {
            error = std::string("cannot register ") + name;
            return false;
        }
    }

    init_snmp(kAppName);
    m_started = true;
    // Access follows the agent tables, whose rows start with the launch
    // credentials (also when a state file had removed them); without these
    // checks every community and user would get full read-write access.
    AddLaunchCredentials(m_switch);
    m_access = std::make_unique<AgentAccess>(m_switch);
    m_access->Install();

    const std::string address = "udp:" + options.listen;
    netsnmp_transport* transport = netsnmp_transport_open_server(kAppName, address.c_str());
    if (!transport) {
        error = "cannot listen on " + address;
        return false;
    }
    g_udpRecv = transport->f_recv;
    transport->f_recv = RecvWithFaults;
    if (options.hostileKinds != 0) {
        m_hostile = std::make_unique<Hostile>(HostileKinds(options.hostileKinds),
                                              m_switch.GetStore(), options.controlCommunity);
        if (!m_hostile->Serve(transport, error)) {
            netsnmp_transport_free(transport);
            return false;
        }
    } else if (netsnmp_register_agent_nsap(transport) < 0) {
        netsnmp_transport_free(transport);
        error = "cannot serve on " + address;
        return false;
    }
    m_address = address;
    return true;
}

void Agent::Run(const std::atomic<bool>& stop, std::atomic<bool>* endFaults) {
    g_stop = &stop;
    while (!stop.load()) {
        int fds = 0;
        int block = 0;
        fd_set readfds;
        FD_ZERO(&readfds);
        timeval timeout{0, 50000};
        snmp_select_info(&fds, &readfds, &timeout, &block);
        if (block || timeout.tv_sec > 0 || timeout.tv_usec > 50000)
            timeout = {0, 50000};
        int count = select(fds, &readfds, nullptr, nullptr, &timeout);
        if (stop.load())
            break;
        if (endFaults && endFaults->exchange(false))
            m_switch.EndFaults();
        if (count > 0)
            snmp_read(&readfds);
        else if (count == 0)
            snmp_timeout();
        run_alarms();
        netsnmp_check_outstanding_agent_requests();
        m_access->Sync();
        m_switch.Poll();
    }
    g_stop = nullptr;
}

} // namespace nswsim
