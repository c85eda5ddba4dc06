#pragma once

#include <cstdint>
#include <functional>
#include <string>

// A small TFTP client (RFC 1350, octet mode) for the switch's transfers.
// Blocking; gives up when 'stop' turns true.
namespace nswsim {

struct TftpPeer {
    std::uint32_t ip = 0; // host order
    std::uint16_t port = 69;
    int timeoutMs = 3000;
    int retries = 3;
};

struct TftpResult {
    bool ok = false;
    std::string data; // a download's content
    std::string error;
};

TftpResult TftpGet(const TftpPeer& peer, const std::string& file,
                   const std::function<bool()>& stop);
TftpResult TftpPut(const TftpPeer& peer, const std::string& file, const std::string& data,
                   const std::function<bool()>& stop);

// What a transfer may name, as the transfer page checks it too: a unicast
// host address (first octet 1-223), and a file of 1 to 64 printable ASCII
// characters without blanks or backslashes that stays inside the server's
// folder (no ".." element, no trailing "/").
bool ValidTransferServer(std::uint32_t ipHostOrder);
bool ValidTransferFile(const std::string& name);

} // namespace nswsim
