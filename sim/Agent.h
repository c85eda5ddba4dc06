#pragma once

#include "AgentAccess.h"
#include "Switch.h"

#include <atomic>
#include <memory>
#include <string>

struct netsnmp_agent_request_info_s;

namespace nswsim {

class Hostile;

// The SNMP side: net-snmp's agent library embedded in this process, with
// access control from the switch's own agent tables (no file under /etc or
// /var is read),
// one handler for the switch's trees and a receive hook for fault injection.
// One agent per process; everything runs on the calling thread.
class Agent {
public:
    explicit Agent(Switch& sw);
    ~Agent();
    Agent(const Agent&) = delete;
    Agent& operator=(const Agent&) = delete;

    // Initialises the library and opens the UDP port; false with a message.
    bool Start(std::string& error);
    // Serves requests until 'stop' is set, waking at least every 50 ms; ends
    // the switch's faults whenever 'endFaults' is set (and clears it).
    void Run(const std::atomic<bool>& stop, std::atomic<bool>* endFaults = nullptr);
    const std::string& Address() const { return m_address; }

    // Used by the library's callbacks.
    Switch& GetSwitch() { return m_switch; }
    bool IsControlCommunity(const unsigned char* community, std::size_t length) const;
    bool AgentDisabled() const { return m_access && m_access->AgentDisabled(); }
    // Hostile mode: a table cell left out of this request's answers.
    bool Hides(const Oid& instance, netsnmp_agent_request_info_s* info) const;

private:
    Switch& m_switch;
    std::string m_address;
    bool m_started = false;
    std::unique_ptr<AgentAccess> m_access;
    std::unique_ptr<Hostile> m_hostile;
};

} // namespace nswsim
