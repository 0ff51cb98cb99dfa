#pragma once

// Listens on the discovery port in a namespace and reports each datagram with what the IP
// header said about it (source, destination, TTL), for checking the probe on the wire.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace ferrow::test {

class NetworkNamespace;

struct CapturedDatagram {
    std::string bytes;
    std::string sourceAddress;
    std::uint16_t sourcePort = 0;
    std::string destinationAddress; // as the IP header had it
    int ttl = -1;
};

class ProbeCapture {
public:
    // Bound to the wildcard address and port 2900 in ns (null: here), with address reuse.
    static std::unique_ptr<ProbeCapture> Open(const NetworkNamespace* ns, std::string& error);
    ProbeCapture(const ProbeCapture&) = delete;
    ProbeCapture& operator=(const ProbeCapture&) = delete;
    ~ProbeCapture();

    // The next datagram, or nothing when none comes in time.
    std::optional<CapturedDatagram> Next(std::chrono::milliseconds timeout);

private:
    explicit ProbeCapture(int socket) : m_socket(socket) {}
    int m_socket; // under the test lab, the lab's number for it
};

} // namespace ferrow::test
