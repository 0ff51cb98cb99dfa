#include "platform/Ipv4Address.h"

#include "platform/SocketApi.h"

#include <algorithm>

namespace ferrow {

Ipv4Address Ipv4Address::FromText(const std::string& text) {
    return FromNetworkOrder(socket_api::InetAddr(text.c_str()));
}

std::optional<Ipv4Address> Ipv4Address::FromDottedText(std::u16string_view text) {
    std::uint32_t host = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != u'.') {
                return std::nullopt;
            }
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        std::uint32_t value = 0;
        while (digits < text.size() && digits < 4 && text[digits] >= u'0' && text[digits] <= u'9') {
            value = value * 10 + static_cast<std::uint32_t>(text[digits] - u'0');
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255 || (digits > 1 && text.front() == u'0')) {
            return std::nullopt;
        }
        host = (host << 8) | value;
        text.remove_prefix(digits);
    }
    if (!text.empty()) {
        return std::nullopt;
    }
    return FromNetworkOrder(htonl(host));
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
