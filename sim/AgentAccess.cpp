#include "AgentAccess.h"

#include "Index.h"

// net-snmp needs its configuration header first.
#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <net-snmp/agent/agent_callbacks.h>
#include <net-snmp/library/snmpusm.h>

#include <iostream>

// Part of the agent library but without an installed header.
extern "C" int vacm_in_view_callback(int, int, void*, void*);
extern "C" int vacm_warn_if_not_configured(int, int, void*, void*);

namespace nswsim {
namespace {

const Oid kUsers = Concat(kAgentMib, {2, 1, 1});
const Oid kGroups = Concat(kAgentMib, {3, 1, 1});
const Oid kViews = Concat(kAgentMib, {4, 1, 1});
const Oid kCommunities = Concat(kAgentMib, {5, 1, 1});
const Oid kGlobalState = Concat(kAgentMib, {1});

constexpr const char* kReadGroup = "ReadGroup";
constexpr const char* kWriteGroup = "WriteGroup";
constexpr const char* kAllView = "all";

bool Active(const Node& node, const Oid& index) {
    return node.ReadInt(index, *node.RowStatusColumn()) == RowStatus::kActive;
}

// Adds the row unless the table has it already (a state file may hold it).
void AddRow(Node& node, const Oid& index, std::initializer_list<std::pair<SubId, Value>> cells) {
    if (node.HasRow(index))
        return;
    node.AddRow(index);
    for (const auto& [column, value] : cells)
        node.SetCell(index, column, value);
    node.SetCell(index, *node.RowStatusColumn(), Value::Int(RowStatus::kActive));
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// A family (subtree, mask) covers the name when every sub-identifier the
// mask marks (a missing mask bit counts as 1) is the subtree's.
bool MaskBit(const std::string& mask, std::size_t i) {
    return i >= mask.size() || mask[i] == '1';
}

template <class ViewT> const ViewT* Deciding(const std::vector<ViewT>& families, const Oid& name) {
    const ViewT* best = nullptr;
    for (const ViewT& v : families) {
        if (name.size() < v.subtree.size())
            continue;
        bool match = true;
        for (std::size_t i = 0; i < v.subtree.size() && match; ++i)
            match = !MaskBit(v.mask, i) || name[i] == v.subtree[i];
        // The longest subtree decides; between equals the greater one.
        if (match && (!best || v.subtree.size() > best->subtree.size() ||
                      (v.subtree.size() == best->subtree.size() && v.subtree > best->subtree)))
            best = &v;
    }
    return best;
}

AgentAccess* g_access = nullptr;

int AccessCallback(int, int, void* serverArg, void*) {
    auto* parms = static_cast<view_parameters*>(serverArg);
    if (!parms || !g_access)
        return 1;
    const netsnmp_pdu* pdu = parms->pdu;
    std::string securityName;
    int model = 3;
    if (pdu->version == SNMP_VERSION_1 || pdu->version == SNMP_VERSION_2c) {
        model = pdu->version == SNMP_VERSION_1 ? 1 : 2;
        if (pdu->community)
            securityName.assign(reinterpret_cast<const char*>(pdu->community), pdu->community_len);
    } else if (pdu->securityName) {
        securityName.assign(pdu->securityName, pdu->securityNameLen);
    }
    std::optional<Oid> name;
    if (parms->name)
        name = Oid(parms->name, parms->name + parms->namelen);
    const int result =
        g_access->Check(model, securityName, pdu->securityLevel, pdu->command == SNMP_MSG_SET,
                        name ? &*name : nullptr, parms->check_subtree != 0);
    if (result != VACM_SUCCESS)
        parms->errorcode = result;
    return result;
}

} // namespace

void AddLaunchCredentials(Switch& sw) {
    Store& store = sw.GetStore();
    const Options& options = sw.GetOptions();
    // Everything the switch serves: iso.org (1.3) and iso.std (1.0, LLDP).
    // Not the single arc 1: an OID value of one arc has no BER form.
    Node& views = store.At(kViews);
    for (SubId arc : {3, 0}) {
        Oid index = TextIndex(kAllView);
        index.insert(index.end(), {2, 1, arc});
        AddRow(views, index, {{3, Value::Str("")}, {4, Value::Int(1)}});
    }
    Node& groups = store.At(kGroups);
    for (const char* group : {kReadGroup, kWriteGroup})
        for (SubId model = 1; model <= 3; ++model) {
            Oid index = TextIndex(group);
            index.push_back(model);
            const bool write = group == kWriteGroup;
            AddRow(groups, index,
                   {{2, Value::Str(kAllView)},
                    {3, Value::Str(write ? kAllView : "")},
                    {4, Value::Str(kAllView)},
                    {6, Value::Int(1)}});
        }
    Node& users = store.At(kUsers);
    Node& communities = store.At(kCommunities);
    for (const V3User& user : options.users) {
        const int auth = user.level == "noauth" ? 1 : user.auth == "MD5" ? 2 : 3;
        const int priv = user.level != "priv" ? 1 : user.priv == "DES" ? 2 : 4;
        // A launch user is served at its own level and above, not below.
        const int level = priv != 1 ? 3 : auth != 1 ? 2 : 1;
        std::string group = user.readOnly ? kReadGroup : kWriteGroup;
        if (level > 1) {
            group.insert(group.size() - 5, level == 2 ? "Auth" : "Priv");
            Oid index = TextIndex(group);
            index.push_back(3);
            const std::string write = user.readOnly ? "" : kAllView;
            AddRow(groups, index,
                   {{2, Value::Str(kAllView)},
                    {3, Value::Str(write)},
                    {4, Value::Str(kAllView)},
                    {6, Value::Int(level)}});
        }
        AddRow(users, TextIndex(user.name),
               {{2, Value::Str(group)},
                {3, Value::Int(3)},
                {4, Value::Int(auth)},
                {5, Value::Str(auth == 1 ? "" : user.authPassword)},
                {6, Value::Int(priv)},
                {7, Value::Str(priv == 1 ? "" : user.privPassword)}});
    }
    // Each community names a user of its own (the view policy); a v3 user of
    // the same name keeps its row.
    const std::pair<const std::string&, const char*> launch[] = {
        {options.readCommunity, kReadGroup}, {options.writeCommunity, kWriteGroup}};
    for (const auto& [community, group] : launch) {
        AddRow(users, TextIndex(community), {{2, Value::Str(group)}, {3, Value::Int(2)}});
        AddRow(communities, TextIndex(community), {{2, Value::Str(community)}});
    }
}

AgentAccess::AgentAccess(Switch& sw) : m_switch(sw) {}

AgentAccess::~AgentAccess() {
    if (g_access == this)
        g_access = nullptr;
}

void AgentAccess::DropLibraryChecks() {
    // The library's own VACM knows nothing of the tables (and warns that it
    // has no configuration): its checks go, ours take their place.
    snmp_unregister_callback(SNMP_CALLBACK_LIBRARY, SNMP_CALLBACK_POST_READ_CONFIG,
                             vacm_warn_if_not_configured, nullptr, 0);
    for (int event : {SNMPD_CALLBACK_ACM_CHECK, SNMPD_CALLBACK_ACM_CHECK_INITIAL,
                      SNMPD_CALLBACK_ACM_CHECK_SUBTREE})
        snmp_unregister_callback(SNMP_CALLBACK_APPLICATION, event, vacm_in_view_callback, nullptr,
                                 0);
}

void AgentAccess::Install() {
    g_access = this;
    DropLibraryChecks();
    for (int event : {SNMPD_CALLBACK_ACM_CHECK, SNMPD_CALLBACK_ACM_CHECK_INITIAL,
                      SNMPD_CALLBACK_ACM_CHECK_SUBTREE})
        snmp_register_callback(SNMP_CALLBACK_APPLICATION, event, AccessCallback, nullptr);
    m_switch.GetStore().OnChanged([this] { m_dirty = true; });
    Sync();
}

bool AgentAccess::AgentDisabled() const {
    return m_switch.GetStore().At(kGlobalState).ScalarValue().value_or(Value::Int(1)).num == 2;
}

void AgentAccess::Sync() {
    if (!m_dirty)
        return;
    m_dirty = false;
    Rebuild();
    SyncUsm();
}

void AgentAccess::Rebuild() {
    Store& store = m_switch.GetStore();
    m_communities.clear();
    m_users.clear();
    m_groups.clear();
    m_views.clear();
    std::string name;
    const Node& communities = store.At(kCommunities);
    for (const auto& [index, row] : communities.Rows())
        if (Active(communities, index) && IndexName(index, name))
            m_communities[name] = communities.ReadStr(index, 2);
    const Node& users = store.At(kUsers);
    for (const auto& [index, row] : users.Rows())
        if (Active(users, index) && IndexName(index, name))
            m_users[name] = {users.ReadStr(index, 2),
                             static_cast<int>(users.ReadInt(index, 3)),
                             static_cast<int>(users.ReadInt(index, 4, 1)),
                             static_cast<int>(users.ReadInt(index, 6, 1)),
                             users.ReadStr(index, 5),
                             users.ReadStr(index, 7)};
    const Node& groups = store.At(kGroups);
    for (const auto& [index, row] : groups.Rows())
        if (Active(groups, index) && IndexName(index, name))
            m_groups[{name, static_cast<int>(index.back())}] = {
                {groups.ReadStr(index, 2), groups.ReadStr(index, 3)},
                static_cast<int>(groups.ReadInt(index, 6, 1))};
    const Node& views = store.At(kViews);
    for (const auto& [index, row] : views.Rows()) {
        std::size_t next = 0;
        if (!Active(views, index) || !ParseTextIndex(index, 0, name, next) || next >= index.size())
            continue;
        m_views[name].push_back({Oid(index.begin() + static_cast<long>(next) + 1, index.end()),
                                 views.ReadStr(index, 3), views.ReadInt(index, 4, 1) == 1});
    }
}

void AgentAccess::SyncUsm() {
    std::map<std::string, User> wanted;
    for (const auto& [name, user] : m_users)
        // The library takes passwords of 8 characters and more (the row checks say so too).
        if (user.version == 3 && (user.auth == 1 || user.authPassword.size() >= 8) &&
            (user.priv == 1 || (user.auth != 1 && user.privPassword.size() >= 8)))
            wanted[name] = user;
    u_char engine[SNMP_MAXBUF_SMALL];
    const size_t engineLength = snmpv3_get_engineID(engine, sizeof engine);
    auto same = [](const User& a, const User& b) {
        return a.auth == b.auth && a.priv == b.priv && a.authPassword == b.authPassword &&
               a.privPassword == b.privPassword;
    };
    for (auto it = m_usm.begin(); it != m_usm.end();) {
        const auto want = wanted.find(it->first);
        if (want != wanted.end() && same(want->second, it->second)) {
            ++it;
            continue;
        }
        if (usmUser* user = usm_get_user(engine, engineLength, it->first.c_str())) {
            usm_remove_user(user);
            usm_free_user(user);
        }
        it = m_usm.erase(it);
    }
    for (const auto& [name, user] : wanted) {
        if (m_usm.count(name))
            continue;
        std::string line = "\"" + Escaped(name) + "\"";
        if (user.auth != 1) {
            line += std::string(user.auth == 2 ? " MD5" : " SHA") + " \"" +
                    Escaped(user.authPassword) + "\"";
            if (user.priv != 1)
                line += std::string(user.priv == 2 ? " DES" : " AES") + " \"" +
                        Escaped(user.privPassword) + "\"";
        }
        std::vector<char> text(line.begin(), line.end());
        text.push_back('\0');
        usm_parse_create_usmUser("createUser", text.data());
        if (usm_get_user(engine, engineLength, name.c_str()))
            m_usm[name] = user;
        else
            std::cerr << "nsw-sim: the SNMP library did not take the user " << name << '\n';
    }
}

const std::vector<AgentAccess::View>* AgentAccess::FindView(const std::string& name) const {
    const auto it = m_views.find(name);
    return name.empty() || it == m_views.end() ? nullptr : &it->second;
}

int AgentAccess::Check(int model, const std::string& securityName, int level, bool write,
                       const Oid* name, bool subtree) const {
    if (model != 3 && securityName == m_switch.GetOptions().controlCommunity)
        return VACM_SUCCESS;
    std::string userName = securityName;
    if (model != 3) {
        const auto community = m_communities.find(securityName);
        if (community == m_communities.end())
            return VACM_NOSECNAME;
        userName = community->second;
    }
    const auto user = m_users.find(userName);
    if (user == m_users.end() || (model == 3 && user->second.version != 3))
        return model == 3 ? VACM_NOGROUP : VACM_NOSECNAME;
    const auto group = m_groups.find({user->second.group, model});
    if (group == m_groups.end())
        return VACM_NOGROUP;
    // Community requests are noAuthNoPriv; a group asks for a least level.
    if (group->second.level > (model == 3 ? level : 1))
        return VACM_NOACCESS;
    if (!name)
        return VACM_SUCCESS;
    const std::vector<View>* families = FindView(group->second.views[write ? 1 : 0]);
    if (!families)
        return VACM_NOVIEW;
    const View* decides = Deciding(*families, *name);
    const bool included = decides && decides->included;
    if (subtree)
        // Longer families that reach under the name and say otherwise make it mixed.
        for (const View& v : *families) {
            if (v.subtree.size() <= name->size() || v.included == included)
                continue;
            bool reaches = true;
            for (std::size_t i = 0; i < name->size() && reaches; ++i)
                reaches = !MaskBit(v.mask, i) || (*name)[i] == v.subtree[i];
            if (reaches)
                return VACM_SUBTREE_UNKNOWN;
        }
    return included ? VACM_SUCCESS : VACM_NOTINVIEW;
}

} // namespace nswsim
