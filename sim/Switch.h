#pragma once

#include "Model.h"
#include "Store.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nswsim {

using Clock = std::chrono::steady_clock;

struct V3User {
    std::string name;
    std::string level = "priv"; // noauth, auth, priv
    std::string auth = "SHA";   // MD5, SHA
    std::string authPassword;
    std::string priv = "AES"; // DES, AES
    std::string privPassword;
    bool readOnly = false;
};

struct Options {
    std::string model = "NSW-4410-28P B1";
    std::string listen = "127.0.0.1:16161";
    std::string profilesDir;
    std::string stateFile;
    std::string runtimeDir;
    std::string readCommunity = "ralvin";
    std::string writeCommunity = "quorbet";
    std::string controlCommunity = "nsw-control";
    std::vector<V3User> users;
    int fdbEntries = 300;
    int lldpNeighbours = 4;
    int rebootMs = 3000;
    int tftpPort = 69;
    int tftpTimeoutMs = 3000;
    bool tftpAnyAddress = false;
    int dropPercent = 0;
    int delayMs = 0;
    int stopAfter = -1; // requests answered before the switch stops; -1 never
    int stopForMs = 0;  // how long a stop lasts; 0 until resumed
    unsigned long hostileKinds = 0; // --hostile: one bit per HostileKind (Hostile.h)
};

// Requests served, by PDU type (requests on the control community excluded).
struct Counters {
    std::uint32_t get = 0;
    std::uint32_t getNext = 0;
    std::uint32_t getBulk = 0;
    std::uint32_t set = 0;
};

// Faults the reliability tests inject; the control community is never affected.
struct Faults {
    int dropPercent = 0; // share of requests left unanswered
    int delayMs = 0;     // every answer waits this long
    Clock::time_point silentUntil{};
    bool unreachable = false;
    int dropBalance = 0;
    int answersLeft = -1; // answered before the stop; -1 no stop pending
    int stopForMs = 0;    // 0: stopped until resumed
    std::optional<Clock::time_point> stoppedAt;
};

// Something a feature runs beside the agent (a transfer); polled by the loop.
class Service {
public:
    virtual ~Service() = default;
    virtual void Poll() {}
};

// The simulated switch: its objects, its model and the state behind them.
class Switch {
public:
    Switch(Model model, Options options);

    const Model& GetModel() const { return m_model; }
    const Options& GetOptions() const { return m_options; }
    Options& MutableOptions() { return m_options; }
    Store& GetStore() { return m_store; }

    std::uint32_t UptimeTicks() const;
    std::uint32_t ListenIp() const { return m_listenIp; }
    // MAC of the switch (port 0) or of a port, six octets.
    std::string Mac(int port = 0) const;

    // Configuration: factory state once every feature is registered, then the
    // state file (when there is one) becomes the saved and running state.
    bool Start(std::string& error);
    bool Save(std::string& error);
    const Config& Saved() const { return m_saved; }
    const Config& Factory() const { return m_factory; }
    // Makes a configuration the saved one (and writes the state file).
    bool Adopt(const Config& config, std::string& error);
    // Silent for the reboot time, then back with the saved configuration.
    void Reboot();
    bool Rebooting() const { return m_rebootAt.has_value(); }

    Counters& GetCounters() { return m_counters; }
    Faults& GetFaults() { return m_faults; }
    // Whether a request (not on the control community) is dropped now.
    bool DropRequest();
    // Ends every fault: drops, delay, silence, a stop (pending or running),
    // unreachability. A reboot in progress goes on.
    void EndFaults();

    void AddService(std::unique_ptr<Service> service) { m_services.push_back(std::move(service)); }
    // Runs pending work: the end of a reboot, the services.
    void Poll();

private:
    bool WriteState(const Config& config, std::string& error);

    Model m_model;
    Options m_options;
    Store m_store;
    Clock::time_point m_boot;
    std::uint32_t m_listenIp = 0x7f000001;
    Config m_factory;
    Config m_saved;
    std::optional<Clock::time_point> m_rebootAt;
    Counters m_counters;
    Faults m_faults;
    std::vector<std::unique_ptr<Service>> m_services;
};

// Every feature file registers its objects through one function; Features.cpp
// lists them.
void RegisterFeatures(Switch& sw);

} // namespace nswsim
