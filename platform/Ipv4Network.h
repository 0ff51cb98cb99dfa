#pragma once

#include "platform/Ipv4Address.h"

#include <string>

namespace ferrow {

// An IPv4 network: a prefix length and an address whose bits past it are cleared.
class Ipv4Network {
public:
    Ipv4Network() = default; // 0.0.0.0/0

    // The network of an address and its netmask. A mask whose one bits do not stand
    // together (some adapters list such) counts by its leading one bits, the network it
    // surely spans; 0.0.0.0, a mask unknown, spans every address.
    static Ipv4Network OfNetmask(Ipv4Address address, Ipv4Address netmask);
    // The network of the address's first prefixLength bits (0 to 32).
    static Ipv4Network OfPrefix(Ipv4Address address, int prefixLength);

    bool Contains(Ipv4Address address) const;
    int PrefixLength() const { return m_prefixLength; }
    // CIDR text: "192.168.0.0/24".
    std::string Text() const;

private:
    Ipv4Network(Ipv4Address base, int prefixLength) : m_base(base), m_prefixLength(prefixLength) {}

    Ipv4Address m_base;
    int m_prefixLength = 0;
};

} // namespace ferrow
