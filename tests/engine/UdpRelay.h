#pragma once

// A loopback UDP relay in front of an agent: what the engine sends to
// Port() goes to the agent, answers go back to the sender. It counts the
// datagrams it forwarded to the agent, probes and retries included, which
// the agent's own counters leave out. One upstream socket per client socket,
// so each engine session keeps its own path.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <thread>
#include <utility>
#include <vector>

class CUdpRelay {
public:
    explicit CUdpRelay(int agentPort) {
        m_agent.sin_family = AF_INET;
        m_agent.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_agent.sin_port = htons(uint16_t(agentPort));
        m_listen = Fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        sockaddr_in self = m_agent;
        self.sin_port = 0;
        socklen_t size = sizeof self;
        if (m_listen.fd < 0 ||
            ::bind(m_listen.fd, reinterpret_cast<sockaddr*>(&self), sizeof self) ||
            ::getsockname(m_listen.fd, reinterpret_cast<sockaddr*>(&self), &size))
            return;
        m_nPort = ntohs(self.sin_port);
        m_thread = std::jthread([this](std::stop_token stop) { Run(stop); });
    }
    ~CUdpRelay() {
        m_thread.request_stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    CUdpRelay(const CUdpRelay&) = delete;
    CUdpRelay& operator=(const CUdpRelay&) = delete;

    int Port() const { return m_nPort; } // 0 when it could not start
    unsigned long Forwarded() const { return m_nForwarded.load(); }

private:
    struct Fd {
        int fd = -1;
        Fd() = default;
        explicit Fd(int f) : fd(f) {}
        Fd(Fd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
        Fd& operator=(Fd&& other) noexcept {
            std::swap(fd, other.fd);
            return *this;
        }
        ~Fd() {
            if (fd >= 0)
                ::close(fd);
        }
    };

    void Run(std::stop_token stop) {
        char buffer[65536];
        while (!stop.stop_requested()) {
            std::vector<pollfd> fds{{m_listen.fd, POLLIN, 0}};
            std::vector<unsigned short> owners{0};
            for (const auto& [client, upstream] : m_upstreams) {
                fds.push_back({upstream.fd, POLLIN, 0});
                owners.push_back(client);
            }
            if (::poll(fds.data(), fds.size(), 20) <= 0)
                continue;
            for (size_t i = 0; i < fds.size(); ++i) {
                if (!(fds[i].revents & POLLIN))
                    continue;
                if (i == 0) {
                    sockaddr_in from{};
                    socklen_t size = sizeof from;
                    const ssize_t n = ::recvfrom(m_listen.fd, buffer, sizeof buffer, 0,
                                                 reinterpret_cast<sockaddr*>(&from), &size);
                    if (n < 0)
                        continue;
                    auto found = m_upstreams.find(from.sin_port);
                    if (found == m_upstreams.end()) {
                        Fd upstream(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
                        if (upstream.fd < 0)
                            continue;
                        found = m_upstreams.emplace(from.sin_port, std::move(upstream)).first;
                    }
                    ++m_nForwarded;
                    ::sendto(found->second.fd, buffer, size_t(n), 0,
                             reinterpret_cast<const sockaddr*>(&m_agent), sizeof m_agent);
                } else {
                    const ssize_t n = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
                    if (n < 0)
                        continue;
                    sockaddr_in client = m_agent;
                    client.sin_port = owners[i];
                    ::sendto(m_listen.fd, buffer, size_t(n), 0,
                             reinterpret_cast<const sockaddr*>(&client), sizeof client);
                }
            }
        }
    }

    sockaddr_in m_agent{};
    Fd m_listen;
    int m_nPort = 0;
    std::map<unsigned short, Fd> m_upstreams; // by client port; relay thread only
    std::atomic<unsigned long> m_nForwarded{0};
    std::jthread m_thread;
};
