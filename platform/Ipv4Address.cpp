#include "platform/Ipv4Address.h"

#include "platform/SocketApi.h"

#include <algorithm>

namespace ferrow {

Ipv4Address Ipv4Address::FromText(const std::string& text) {
    return FromNetworkOrder(socket_api::InetAddr(text.c_str()));
}

std::string Ipv4Address::Text() const {
    const std::uint32_t host = ntohl(m_networkOrder);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((host >> shift) & 0xFFu);
        if (shift > 0) {
            text += '.';
        }
    }
    return text;
}

void AppendSearchable(std::vector<Ipv4Address>& addresses, Ipv4Address address) {
    if (address.CanSearchFrom() &&
        std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
        addresses.push_back(address);
    }
}

} // namespace ferrow
