#pragma once

#include "Switch.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Who may talk to the switch: its own community, user, group and view tables
// (25.2 to 25.5) and the global SNMP state (25.1), as net-snmp's access
// checks and USM user list. The control community stays outside the tables.
namespace nswsim {

inline const Oid kAgentMib = Concat(kSwitchMib, {25});

// The launch credentials as rows of the tables (factory state).
void AddLaunchCredentials(Switch& sw);

class AgentAccess {
public:
    explicit AgentAccess(Switch& sw);
    ~AgentAccess();
    AgentAccess(const AgentAccess&) = delete;
    AgentAccess& operator=(const AgentAccess&) = delete;

    // Removes the library's own access checks (after init_agent, before
    // init_snmp; Install does it again).
    static void DropLibraryChecks();
    // Registers the access checks with the agent library (after init_snmp).
    void Install();
    // Applies table changes; the agent loop calls it between requests, so
    // that a user is never removed while its own request is answered.
    void Sync();
    // SNMP global state disabled: only the control community is answered.
    bool AgentDisabled() const;

    // The decision for one request: a net-snmp VACM_* code. name null: the
    // credentials only; subtree: the whole subtree under name.
    int Check(int model, const std::string& securityName, int level, bool write, const Oid* name,
              bool subtree) const;

private:
    struct View {
        Oid subtree;
        std::string mask;
        bool included = true;
    };
    struct Group {
        std::string views[2]; // read, write
        int level = 1;
    };
    struct User {
        std::string group;
        int version = 3;
        int auth = 1, priv = 1;
        std::string authPassword, privPassword;
    };
    void Rebuild();
    void SyncUsm();
    const std::vector<View>* FindView(const std::string& name) const;

    Switch& m_switch;
    bool m_dirty = true;
    std::map<std::string, std::string> m_communities; // community -> user
    std::map<std::string, User> m_users;
    std::map<std::pair<std::string, int>, Group> m_groups; // (name, model)
    std::map<std::string, std::vector<View>> m_views;
    std::map<std::string, User> m_usm; // the v3 users given to the library
};

} // namespace nswsim
