#pragma once

// Holds a UDP port on the wildcard address without allowing address reuse, as a program
// that wants the port to itself would, so that others cannot bind it.

#include <cstdint>
#include <memory>
#include <string>

namespace ferrow::test {

class NetworkNamespace;

class UdpPortHolder {
public:
    // Bound in ns (null: here). Null on failure, with the reason in error.
    static std::unique_ptr<UdpPortHolder> Hold(std::uint16_t port, const NetworkNamespace* ns,
                                               std::string& error);
    UdpPortHolder(const UdpPortHolder&) = delete;
    UdpPortHolder& operator=(const UdpPortHolder&) = delete;
    ~UdpPortHolder();

private:
    explicit UdpPortHolder(int socket) : m_socket(socket) {}
    int m_socket; // under the test lab, the lab's number for it
};

} // namespace ferrow::test
