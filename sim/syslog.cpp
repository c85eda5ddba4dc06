// Syslog host 16.1: one server, its UDP port, severity, facility and state.
// While enabled, every change of the configuration is sent to the server as
// an RFC 5424 message over UDP.
#include "Features.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <optional>

namespace nswsim {
namespace {

const Oid kSyslog = Concat(kSwitchMib, {16, 1});
constexpr int kEnabled = 1;
// Configuration changes are notices: sent at the "Info" and "All" thresholds.
constexpr int kNotice = 5;

// The name of the object an instance belongs to.
std::string ObjectName(const Store& store, const Oid& instance) {
    const auto& nodes = store.Nodes();
    auto it = nodes.upper_bound(instance);
    while (it != nodes.begin()) {
        --it;
        const Oid& base = it->first;
        if (base.size() <= instance.size() &&
            std::equal(base.begin(), base.end(), instance.begin()))
            return it->second->Name();
    }
    return "?";
}

std::string Timestamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + n, sizeof text - n, ".%03dZ", static_cast<int>(ms));
    return text;
}

class SyslogSender {
public:
    explicit SyslogSender(Switch& sw) : m_switch(sw) {}
    SyslogSender(const SyslogSender&) = delete;
    SyslogSender& operator=(const SyslogSender&) = delete;
    ~SyslogSender() {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // After every SET and restore: tells the server what changed.
    void OnChanged() {
        Store& store = m_switch.GetStore();
        if (Scalar(6) != kEnabled) {
            m_last.reset(); // nothing is watched while logging is off
            return;
        }
        Config now = store.Snapshot();
        if (!m_last) {
            m_last = std::move(now);
            Send("Remote logging enabled");
            return;
        }
        std::vector<std::string> names;
        auto note = [&](const Oid& instance) {
            std::string name = ObjectName(store, instance);
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(std::move(name));
        };
        for (const auto& [instance, value] : now.cells)
            if (auto it = m_last->cells.find(instance);
                it == m_last->cells.end() || !(it->second == value))
                note(instance);
        for (const auto& [instance, value] : m_last->cells)
            if (!now.cells.count(instance))
                note(instance);
        m_last = std::move(now);
        if (names.empty())
            return;
        std::string text = "Configuration changed:";
        for (const std::string& name : names)
            text += ' ' + name;
        Send(text);
    }

private:
    std::int64_t Scalar(SubId arc) const {
        const auto value = m_switch.GetStore().At(Concat(kSyslog, {arc})).ScalarValue();
        return value ? value->num : 0;
    }

    void Send(const std::string& message) {
        if (kNotice > Scalar(4))
            return; // below the severity threshold
        const auto server = m_switch.GetStore().At(Concat(kSyslog, {1})).ScalarValue();
        const std::uint32_t ip = server ? server->IpHostOrder() : 0;
        // Loopback only: the simulator never logs to the network.
        if ((ip >> 24) != 127)
            return;
        if (m_fd < 0)
            m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_fd < 0)
            return;
        in_addr own{htonl(m_switch.ListenIp())};
        char host[INET_ADDRSTRLEN] = "-";
        ::inet_ntop(AF_INET, &own, host, sizeof host);
        // PRI is the facility code (stored times 8) plus the severity.
        const std::string packet = '<' + std::to_string(Scalar(5) + kNotice) + ">1 " + Timestamp() +
                                   ' ' + host + " nsw - CONFIG - " + message;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(ip);
        to.sin_port = htons(static_cast<std::uint16_t>(Scalar(2)));
        ::sendto(m_fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
                 sizeof to);
    }

    Switch& m_switch;
    int m_fd = -1;
    std::optional<Config> m_last;
};

// Control 7: any facility (0-184, stored times 8) or severity (0-7) for
// tests of how pages read values they cannot set.
void RegisterSyslogControl(Switch& sw) {
    Store& store = sw.GetStore();
    const std::pair<SubId, Syntax> raw[] = {{5, Syntax::Int(0, 184)}, {4, Syntax::Int(0, 7)}};
    SubId arc = 1;
    for (const auto& [target, syntax] : raw) {
        Node& node = store.At(Concat(kSyslog, {target}));
        store
            .AddScalar(Concat(kControl, {7, arc++}),
                       target == 5 ? "ctlSyslogFacility" : "ctlSyslogSeverity", syntax,
                       Access::ReadWrite, Value::Int(0))
            .Persist(0, false)
            .Live([&node](const Oid&) { return node.ScalarValue(); })
            .Check([&node](Txn& txn, const Oid&, const Value& v) {
                txn.OnCommit([&node, v] { node.SetScalar(v); });
                return Err::kNone;
            });
    }
}

} // namespace

void RegisterSyslog(Switch& sw) {
    Store& store = sw.GetStore();
    store.AddScalar(Concat(kSyslog, {1}), "syslogServer", Syntax::Ip(), Access::ReadWrite,
                    Value::Ip(0));
    store.AddScalar(Concat(kSyslog, {2}), "syslogPort", Syntax::Int(1, 65535), Access::ReadWrite,
                    Value::Int(514));
    // Severity threshold: 4 warning, 6 info, 7 all.
    store.AddScalar(Concat(kSyslog, {4}), "syslogSeverity", Syntax::Enum({4, 6, 7}),
                    Access::ReadWrite, Value::Int(4));
    // Facility local0 to local7 (128 + 8n).
    store.AddScalar(Concat(kSyslog, {5}), "syslogFacility",
                    Syntax::Enum({128, 136, 144, 152, 160, 168, 176, 184}), Access::ReadWrite,
                    Value::Int(128));
    store.AddScalar(Concat(kSyslog, {6}), "syslogState", EnabledDisabled(), Access::ReadWrite,
                    Value::Int(2));
    RegisterSyslogControl(sw);
    auto sender = std::make_shared<SyslogSender>(sw);
    store.OnChanged([sender] { sender->OnChanged(); });
}

} // namespace nswsim
