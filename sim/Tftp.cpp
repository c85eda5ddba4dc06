#include "Tftp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace nswsim {
namespace {

constexpr std::size_t kBlock = 512;
constexpr std::size_t kMaxDownload = 16 * 1024 * 1024;
enum Opcode : std::uint16_t { kRrq = 1, kWrq = 2, kData = 3, kAck = 4, kError = 5 };

class Socket {
public:
    Socket() : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {}
    ~Socket() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Fd() const { return m_fd; }

private:
    int m_fd;
};

std::string Packet(std::uint16_t opcode, std::uint16_t number = 0) {
    return {static_cast<char>(opcode >> 8), static_cast<char>(opcode & 0xff),
            static_cast<char>(number >> 8), static_cast<char>(number & 0xff)};
}

std::string Request(std::uint16_t opcode, const std::string& file) {
    std::string packet{static_cast<char>(0), static_cast<char>(opcode)};
    packet += file;
    packet += '\0';
    packet += "octet";
    packet += '\0';
    return packet;
}

std::uint16_t Word(const std::string& packet, std::size_t at) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(packet[at]) << 8) |
                                      static_cast<unsigned char>(packet[at + 1]));
}

// One exchange: sends, then waits for a packet from the server, resending on
// time-outs. The server answers from a new port (its transfer ID), learnt
// from its first packet.
class Exchange {
public:
    Exchange(const TftpPeer& peer, const std::function<bool()>& stop) : m_peer(peer), m_stop(stop) {
        m_to.sin_family = AF_INET;
        m_to.sin_addr.s_addr = htonl(peer.ip);
        m_to.sin_port = htons(peer.port);
    }

    bool Send(const std::string& packet) {
        m_last = packet;
        return ::sendto(m_socket.Fd(), packet.data(), packet.size(), 0,
                        reinterpret_cast<const sockaddr*>(&m_to),
                        sizeof m_to) == static_cast<ssize_t>(packet.size());
    }

    // The next packet of the transfer, or an error text.
    bool Receive(std::string& packet, std::string& error) {
        for (int attempt = 0; attempt <= m_peer.retries; ++attempt) {
            const auto until =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(m_peer.timeoutMs);
            while (std::chrono::steady_clock::now() < until) {
                if (m_stop()) {
                    error = "stopped";
                    return false;
                }
                pollfd fd{m_socket.Fd(), POLLIN, 0};
                if (::poll(&fd, 1, 50) <= 0)
                    continue;
                char buffer[kBlock + 4];
                sockaddr_in from{};
                socklen_t length = sizeof from;
                const ssize_t n = ::recvfrom(m_socket.Fd(), buffer, sizeof buffer, 0,
                                             reinterpret_cast<sockaddr*>(&from), &length);
                if (n < 4 || from.sin_addr.s_addr != m_to.sin_addr.s_addr)
                    continue;
                if (!m_tidKnown) {
                    m_to.sin_port = from.sin_port;
                    m_tidKnown = true;
                } else if (from.sin_port != m_to.sin_port) {
                    continue; // a stranger
                }
                packet.assign(buffer, static_cast<std::size_t>(n));
                if (Word(packet, 0) == kError) {
                    error = "server error: " + std::string(packet.c_str() + 4);
                    return false;
                }
                return true;
            }
            if (attempt < m_peer.retries && !Send(m_last)) {
                error = "cannot send";
                return false;
            }
        }
        error = "no answer from the TFTP server";
        return false;
    }

private:
    TftpPeer m_peer;
    const std::function<bool()>& m_stop;
    Socket m_socket;
    sockaddr_in m_to{};
    bool m_tidKnown = false;
    std::string m_last;
};

} // namespace

TftpResult TftpGet(const TftpPeer& peer, const std::string& file,
                   const std::function<bool()>& stop) {
    TftpResult result;
    Exchange exchange(peer, stop);
    if (!exchange.Send(Request(kRrq, file))) {
        result.error = "cannot send";
        return result;
    }
    std::uint16_t expected = 1;
    std::string packet;
    while (exchange.Receive(packet, result.error)) {
        if (Word(packet, 0) != kData)
            continue;
        const std::uint16_t block = Word(packet, 2);
        if (block != expected) {
            if (static_cast<std::uint16_t>(block + 1) == expected)
                exchange.Send(Packet(kAck, block)); // our ACK was lost
            continue;
        }
        result.data.append(packet, 4);
        if (result.data.size() > kMaxDownload) {
            result.error = "file too large";
            return result;
        }
        exchange.Send(Packet(kAck, block));
        ++expected;
        if (packet.size() - 4 < kBlock) {
            result.ok = true;
            return result;
        }
    }
    return result;
}

TftpResult TftpPut(const TftpPeer& peer, const std::string& file, const std::string& data,
                   const std::function<bool()>& stop) {
    TftpResult result;
    Exchange exchange(peer, stop);
    if (!exchange.Send(Request(kWrq, file))) {
        result.error = "cannot send";
        return result;
    }
    std::uint16_t block = 0;
    std::size_t offset = 0;
    bool last = false;
    std::string packet;
    while (exchange.Receive(packet, result.error)) {
        if (Word(packet, 0) != kAck || Word(packet, 2) != block)
            continue;
        if (last) {
            result.ok = true;
            return result;
        }
        ++block;
        const std::size_t size = std::min(kBlock, data.size() - offset);
        // A file of whole blocks ends with an empty one.
        last = size < kBlock;
        exchange.Send(Packet(kData, block) + data.substr(offset, size));
        offset += size;
    }
    return result;
}

} // namespace nswsim
