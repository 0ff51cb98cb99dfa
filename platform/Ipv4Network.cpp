#include "platform/Ipv4Network.h"

#include "platform/SocketApi.h"

#include <bit>
#include <cstdint>

namespace ferrow {
namespace {

// The host-order mask of the first prefixLength bits.
std::uint32_t PrefixMask(int prefixLength) {
    return prefixLength == 0 ? 0u : ~std::uint32_t{0} << (32 - prefixLength);
}

} // namespace

Ipv4Network Ipv4Network::OfNetmask(Ipv4Address address, Ipv4Address netmask) {
    return OfPrefix(address, std::countl_one(ntohl(netmask.NetworkOrder())));
}

Ipv4Network Ipv4Network::OfPrefix(Ipv4Address address, int prefixLength) {
    const std::uint32_t base = ntohl(address.NetworkOrder()) & PrefixMask(prefixLength);
    return {Ipv4Address::FromNetworkOrder(htonl(base)), prefixLength};
}

bool Ipv4Network::Contains(Ipv4Address address) const {
    return OfPrefix(address, m_prefixLength).m_base == m_base;
}

std::string Ipv4Network::Text() const {
    return m_base.Text() + '/' + std::to_string(m_prefixLength);
}

} // namespace ferrow
